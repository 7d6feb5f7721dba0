#include "gui/text_field_accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <vector>

namespace redadado {

namespace {

// Where the units of one kind start, ascending from 0, with the text's length last. A
// one-line field is one sentence, line and paragraph.
std::vector<int> UnitStarts(const QString& text, QAccessible::TextBoundaryType type) {
  const int length = static_cast<int>(text.size());
  std::vector<int> starts{0};
  if (type == QAccessible::CharBoundary || type == QAccessible::WordBoundary) {
    QTextBoundaryFinder finder(type == QAccessible::CharBoundary ? QTextBoundaryFinder::Grapheme
                                                                 : QTextBoundaryFinder::Word,
                               text);
    // Forward only, and only while the position grows: no query can loop.
    for (qsizetype at = finder.toNextBoundary(); at > starts.back() && at < length;
         at = finder.toNextBoundary()) {
      // A word runs from its start to the next word's start, the spaces after it included.
      if (type == QAccessible::CharBoundary ||
          finder.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem)) {
        starts.push_back(static_cast<int>(at));
      }
    }
  }
  if (length > 0) starts.push_back(length);
  return starts;
}

class TextFieldInterface : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
 public:
  explicit TextFieldInterface(QLineEdit* edit)
      : QAccessibleWidget(edit, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) {
      return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Value) return Edit()->text();
    // An empty field that the user cannot type into says so, rather than nothing.
    if (type == QAccessible::Description && Edit()->isReadOnly() && Edit()->text().isEmpty() &&
        Edit()->accessibleDescription().isEmpty()) {
      return QStringLiteral("空白");
    }
    // The edit of an editable list (the page view's page box) is named by the list.
    if (type == QAccessible::Name && Edit()->accessibleName().isEmpty()) {
      if (auto* box = qobject_cast<QComboBox*>(Edit()->parentWidget())) {
        return box->accessibleName();
      }
    }
    return QAccessibleWidget::text(type);
  }
  // The field's name already holds its label's words: a reader that follows the label relation
  // instead says the label's colon, or the words of a label that stands for two fields
  // ("範囲" for the start and last page).
  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto related = QAccessibleWidget::relations(match);
    if (!Edit()->accessibleName().isEmpty()) {
      related.removeIf([](const auto& relation) { return relation.second & QAccessible::Label; });
    }
    return related;
  }
  void setText(QAccessible::Text type, const QString& text) override {
    if (type == QAccessible::Value && !Edit()->isReadOnly()) {
      Edit()->setText(text);
    } else {
      QAccessibleWidget::setText(type, text);
    }
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = Edit()->isReadOnly();
    state.editable = !Edit()->isReadOnly();
    state.selectableText = true;
    return state;
  }

  // QAccessibleTextInterface
  QString text(int startOffset, int endOffset) const override {
    const QString all = Edit()->text();
    startOffset = std::clamp(startOffset, 0, static_cast<int>(all.size()));
    endOffset = std::clamp(endOffset, startOffset, static_cast<int>(all.size()));
    return all.mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return static_cast<int>(Edit()->text().size()); }
  int cursorPosition() const override { return Edit()->cursorPosition(); }
  void setCursorPosition(int position) override { Edit()->setCursorPosition(position); }
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !Edit()->hasSelectedText()) return;
    *startOffset = static_cast<int>(Edit()->selectionStart());
    *endOffset = static_cast<int>(Edit()->selectionEnd());
  }
  int selectionCount() const override { return Edit()->hasSelectedText() ? 1 : 0; }
  void addSelection(int startOffset, int endOffset) override {
    setSelection(0, startOffset, endOffset);
  }
  void removeSelection(int selectionIndex) override {
    if (selectionIndex == 0) Edit()->deselect();
  }
  void setSelection(int selectionIndex, int startOffset, int endOffset) override {
    if (selectionIndex == 0) Edit()->setSelection(startOffset, endOffset - startOffset);
  }
  QRect characterRect(int offset) const override {
    const QString all = Edit()->text();
    if (offset < 0 || offset >= all.size()) return {};
    // Unscrolled, from the text's left edge: good enough for a magnifier's rough aim.
    const QFontMetrics metrics(Edit()->font());
    const QRect contents = Edit()->contentsRect().marginsRemoved(Edit()->textMargins());
    const int left = contents.left() + metrics.horizontalAdvance(all.left(offset));
    const QRect local(left, contents.top(), metrics.horizontalAdvance(all.at(offset)),
                      contents.height());
    return QRect(Edit()->mapToGlobal(local.topLeft()), local.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
  }
  void scrollToSubstring(int startIndex, int endIndex) override {
    Edit()->setCursorPosition(endIndex);
    Edit()->setCursorPosition(startIndex);
  }
  QString attributes(int, int* startOffset, int* endOffset) const override {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
  }

  QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                       int* endOffset) const override {
    return Unit(offset, type, 0, startOffset, endOffset);
  }
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                           int* endOffset) const override {
    return Unit(offset, type, -1, startOffset, endOffset);
  }
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                          int* endOffset) const override {
    return Unit(offset, type, 1, startOffset, endOffset);
  }

  // QAccessibleEditableTextInterface
  void deleteText(int startOffset, int endOffset) override {
    replaceText(startOffset, endOffset, QString());
  }
  void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
  void replaceText(int startOffset, int endOffset, const QString& text) override {
    if (Edit()->isReadOnly()) return;
    QString all = Edit()->text();
    startOffset = std::clamp(startOffset, 0, static_cast<int>(all.size()));
    endOffset = std::clamp(endOffset, startOffset, static_cast<int>(all.size()));
    Edit()->setText(all.replace(startOffset, endOffset - startOffset, text));
  }

 private:
  QLineEdit* Edit() const { return static_cast<QLineEdit*>(object()); }

  // The unit at the offset, or the one before or after it (step -1, 0, 1). Offset -2 is the
  // caret. Outside the text, or with no such unit, the answer is empty at the nearer end.
  QString Unit(int offset, QAccessible::TextBoundaryType type, int step, int* startOffset,
               int* endOffset) const {
    const QString all = Edit()->text();
    const int length = static_cast<int>(all.size());
    if (offset == -2) offset = cursorPosition();
    if (offset < 0 || offset > length) {
      *startOffset = *endOffset = offset < 0 ? 0 : length;
      return {};
    }
    const std::vector<int> starts = UnitStarts(all, type);
    const int units = static_cast<int>(starts.size()) - 1;
    // The unit holding the offset; at the end of the text the last one, except for characters,
    // where the end is a unit of its own (empty).
    int unit =
        static_cast<int>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) -
        1;
    if (unit >= units && type != QAccessible::CharBoundary) unit = units - 1;
    unit += step;
    if (unit < 0 || unit >= units) {
      *startOffset = *endOffset = unit < 0 ? 0 : length;
      return {};
    }
    *startOffset = starts[static_cast<std::size_t>(unit)];
    *endOffset = starts[static_cast<std::size_t>(unit) + 1];
    return all.mid(*startOffset, *endOffset - *startOffset);
  }
};

}  // namespace

QAccessibleInterface* TextFieldAccessible(QObject* object) {
  auto* edit = qobject_cast<QLineEdit*>(object);
  if (edit == nullptr || edit->echoMode() != QLineEdit::Normal) return nullptr;
  return new TextFieldInterface(edit);
}

}  // namespace redadado
