#include "gui/text_fit.h"

#include <QStringList>

namespace redadado {

namespace {

// `text` cut after every character that `breaksAfter` allows a line to end on.
template <typename BreaksAfter>
QStringList Pieces(const QString& text, BreaksAfter breaksAfter) {
  QStringList pieces;
  QString piece;
  for (const QChar c : text) {
    piece += c;
    if (breaksAfter(c)) {
      pieces << piece;
      piece.clear();
    }
  }
  if (!piece.isEmpty()) pieces << piece;
  return pieces;
}

// Appends `pieces` to the lines, starting a new line wherever the next piece would not fit.
void Fill(QStringList& lines, QString& line, const QStringList& pieces, const QFontMetrics& metrics,
          int width) {
  for (const QString& piece : pieces) {
    if (!line.isEmpty() && metrics.horizontalAdvance(line + piece) > width) {
      lines << line;
      line.clear();
    }
    line += piece;
  }
}

}  // namespace

QString BreakLines(const QString& text, const QFontMetrics& metrics, int width) {
  const auto sentenceEnd = [](QChar c) { return c == QChar(0x3002); };
  const auto wordEnd = [](QChar c) {
    return c == QChar(0x3002) || c == QChar(0x3001) || c == '/' || c == '\\' || c == ' ';
  };
  QStringList lines;
  for (const QString& given : text.split('\n')) {
    QString line;
    // Whole sentences where they fit, so that a line ends at a sentence's end before a word's.
    for (const QString& sentence : Pieces(given, sentenceEnd)) {
      if (metrics.horizontalAdvance(sentence) <= width) {
        Fill(lines, line, {sentence}, metrics, width);
      } else {
        Fill(lines, line, Pieces(sentence, wordEnd), metrics, width);
      }
    }
    lines << line;
  }
  return lines.join('\n');
}

QString ElidedPath(const QString& path, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(path) <= width) return path;
  const qsizetype cut = qMax(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1;
  const QString name = path.mid(cut);
  const int room = width - metrics.horizontalAdvance(name);
  if (cut == 0 || room <= metrics.horizontalAdvance(QChar(0x2026))) {
    return metrics.elidedText(path, Qt::ElideMiddle, width);
  }
  return metrics.elidedText(path.left(cut), Qt::ElideMiddle, room) + name;
}

}  // namespace redadado
