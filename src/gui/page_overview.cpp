#include "gui/page_overview.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QShowEvent>
#include <algorithm>

#include "base/file_paths.h"
#include "gui/page_view.h"
#include "gui/qt_seams.h"
#include "preview/page_pictures.h"

namespace redadado {

PagePicture::PagePicture(OverviewModel model, QWidget* parent)
    : QWidget(parent), model_(std::move(model)) {
  setObjectName("PageImage");
  setAccessibleName("ページの一覧");
  setFocusPolicy(Qt::StrongFocus);
  const Size size = OverviewSize(model_.pageCount());
  setFixedSize(size.width, size.height);
}

void PagePicture::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect exposed = event->rect();
  painter.fillRect(exposed, QColor::fromRgb(kButtonFace));
  PaintThumbnails(painter, model_,
                  SlotsInRows(exposed.top(), exposed.bottom() + 1, model_.pageCount()));
  if (highlighted_ >= 0) {
    // The keyboard's page: a frame round its slot, which the mouse never needs.
    const Point origin = SlotOrigin(highlighted_);
    painter.setPen(QPen(QColor(Qt::red), 2));
    painter.drawRect(origin.x + 1, origin.y + 1, kSlotWidth - 2, kSlotHeight - 2);
  }
}

void PagePicture::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (onMouseUp) onMouseUp({at.x(), at.y()});
}

void PagePicture::keyPressEvent(QKeyEvent* event) {
  const int last = model_.pageCount() - 1;
  const int current = highlighted_;
  switch (event->key()) {
    case Qt::Key_Left:
      Highlight(current - 1);
      return;
    case Qt::Key_Right:
      Highlight(current + 1);
      return;
    case Qt::Key_Up:
      Highlight(current - kSlotsPerRow);
      return;
    case Qt::Key_Down:
      Highlight(current < 0 ? 0 : current + kSlotsPerRow);
      return;
    case Qt::Key_Home:
      Highlight(0);
      return;
    case Qt::Key_End:
      Highlight(last);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (current >= 0 && onOpen) onOpen(current);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void PagePicture::Highlight(int page) {
  if (model_.pageCount() == 0) return;
  highlighted_ = std::clamp(page, 0, model_.pageCount() - 1);
  const Point origin = SlotOrigin(highlighted_);
  setAccessibleDescription(QString("ページ %1").arg(highlighted_ + 1));
  update();
  if (auto* area = qobject_cast<QScrollArea*>(parentWidget()->parentWidget())) {
    area->ensureVisible(origin.x + kSlotWidth / 2, origin.y + kSlotHeight / 2, kSlotWidth / 2,
                        kSlotHeight / 2);
  }
}

PageOverview::PageOverview(Session& session, std::function<std::string()> fileText, QWidget* parent)
    : QDialog(parent), session_(session), fileText_(std::move(fileText)) {
  setObjectName("TBSEImageForm");
  setFont(TahomaFont(11));
  resize(919, 304);
  move(0, 0);
  // Lies under the scroll box and is never drawn into.
  pictureArea = new QWidget(this);
  pictureArea->setObjectName("Image1");
  Place(pictureArea, 272, 56, 25, 25);
  scrollArea = new QScrollArea(this);
  scrollArea->setObjectName("ScrollBox1");
  scrollArea->setToolTip("ひとつのページをクリックすれば、そのページを拡大します");
  scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(scrollArea, 8, 8, 902, 289);
}

void PageOverview::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Refresh();
}

void PageOverview::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;
  // Releases the picture and the pages' rows.
  delete scrollArea->takeWidget();
  picture = nullptr;
}

void PageOverview::Refresh() {
  delete scrollArea->takeWidget();
  picture =
      new PagePicture(OverviewModel::Read(session_.document.path, session_.document.linesPerPage,
                                          session_.document.pageCount),
                      nullptr);
  picture->onMouseUp = [this](Point at) { pictureClicked(at); };
  picture->onOpen = [this](int page) { OpenPage(page); };
  scrollArea->setWidget(picture);
  setWindowTitle(ToQt(" " + Utf8FromPath(PathFromUtf8(fileText_()).filename())));
  picture->setFocus();
}

void PageOverview::pictureClicked(Point at) {
  OpenPage(PageIndexAt(at));
}

void PageOverview::OpenPage(int page) {
  if (page < 0) return;
  session_.selectedPage = page;
  if (page >= session_.document.pageCount || pageView_ == nullptr) return;
  const int highlighted = picture->Highlighted();
  pageView_->exec();
  // Back from the page view the overview is built afresh.
  Refresh();
  if (highlighted >= 0) picture->Highlight(highlighted);
}

void PageOverview::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  scrollArea->resize(width() - 17, height() - 15);
}

}  // namespace redadado
