#include "preview/page_pictures.h"

#include <QFontMetrics>
#include <QPolygon>

namespace redadado {
namespace {

constexpr int kTextPixels = 13;  // 10 points at 96 dpi

QColor Colour(unsigned rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// Text with its own navy box behind it, the top left corner at `corner`.
void PaintText(QPainter& painter, QPoint corner, const QString& text) {
  const QFontMetrics metrics(painter.font());
  painter.fillRect(QRect(corner, QSize(metrics.horizontalAdvance(text), metrics.height())),
                   Colour(kNavy));
  painter.drawText(corner.x(), corner.y() + metrics.ascent(), text);
}

}  // namespace

QFont PreviewFont(bool bold) {
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(kTextPixels);
  font.setBold(bold);
  return font;
}

QImage DrawPage(const PageLayout& layout) {
  QImage image(layout.size.width, layout.size.height, QImage::Format_RGB32);
  image.fill(Colour(kNavy));
  QPainter painter(&image);
  painter.setFont(PreviewFont(false));
  painter.setPen(Colour(kWhite));
  for (const PageMark& mark : layout.marks) {
    if (mark.text.empty()) {
      for (const Point& pixel : DotCross(mark.at)) painter.drawPoint(pixel.x, pixel.y);
    } else {
      PaintText(painter, QPoint(mark.at.x, mark.at.y),
                QString::fromUtf8(mark.text.data(), static_cast<qsizetype>(mark.text.size())));
    }
  }
  return image;
}

void PaintThumbnails(QPainter& painter, const OverviewModel& model, PageSpan span) {
  if (!model.opened()) return;
  painter.save();
  painter.setFont(PreviewFont(true));
  for (int page = span.first; page < span.end; ++page) {
    const Area area = ThumbnailArea(page, model.linesPerPage());
    painter.fillRect(QRect(QPoint(area.topLeft.x, area.topLeft.y),
                           QPoint(area.bottomRight.x, area.bottomRight.y)),
                     Colour(kNavy));
    QPolygon pixels;
    for (const Point& pixel : ThumbnailDots(model.Rows(page), model.linesPerPage(), page)) {
      pixels << QPoint(pixel.x, pixel.y);
    }
    painter.setPen(Colour(kWhite));
    painter.drawPoints(pixels);
    // The label comes after the page area and overlaps its top edge.
    const Point label = ThumbnailLabelPosition(page);
    painter.setPen(Colour(kLightYellow));
    PaintText(painter, QPoint(label.x, label.y), QString::fromStdString(ThumbnailLabel(page)));
  }
  painter.restore();
}

QImage DrawOverview(const OverviewModel& model) {
  const Size size = OverviewSize(model.pageCount());
  QImage image(size.width, size.height, QImage::Format_RGB32);
  image.fill(Colour(kButtonFace));
  QPainter painter(&image);
  PaintThumbnails(painter, model, {0, model.pageCount()});
  return image;
}

}  // namespace redadado
