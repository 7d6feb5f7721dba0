#include "speech/Accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

namespace redadado {

namespace {

// A closed, selection-only combo box as a screen reader wants it: its text is the current
// item. Orca reads a combo box's value from its selected child or, lacking children, from its
// text; Qt 6.4 offers neither while the list is closed. The open list is a window of its own
// with its own accessible items, so this one has no children.
class ComboBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit ComboBoxAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Value) return Current();
    // The hint can follow the current item (the settings dialog's ports).
    if (type == QAccessible::Description && Box()->accessibleDescription().isEmpty()) {
      return Box()->toolTip();
    }
    return QAccessibleWidget::text(type);
  }
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = Box()->view()->isVisible();
    state.collapsed = !state.expanded;
    return state;
  }

  QStringList actionNames() const override { return {showMenuAction()}; }
  void doAction(const QString& name) override {
    if (name == showMenuAction()) Box()->showPopup();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

  // The text: the current item, read-only, with no caret or selection of its own.
  QString text(int startOffset, int endOffset) const override {
    const QString current = Current();
    if (endOffset < 0 || endOffset > current.size()) endOffset = static_cast<int>(current.size());
    if (startOffset < 0 || startOffset > endOffset) return {};
    return current.mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return static_cast<int>(Current().size()); }
  void selection(int, int* startOffset, int* endOffset) const override {
    *startOffset = 0;
    *endOffset = 0;
  }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override {
    *startOffset = offset;
    *endOffset = offset;
    return {};
  }

 private:
  QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
  QString Current() const { return Box()->currentText(); }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
  if (auto* box = qobject_cast<QComboBox*>(object); box != nullptr && !box->isEditable()) {
    return new ComboBoxAccessible(box);
  }
  // A panel inside a window (the main window's Panel1). Qt calls a QFrame a "frame", the role
  // of a top-level window: Orca then takes the panel for a window that is not active and says
  // nothing of the controls in it.
  auto* widget = qobject_cast<QWidget*>(object);
  if (className == QLatin1String("QFrame") && widget != nullptr && !widget->isWindow()) {
    return new QAccessibleWidget(widget, QAccessible::Pane);
  }
  return nullptr;
}

// Gives every window its names and descriptions when it shows, so windows created later
// (and their controls) need nothing of their own.
class WindowShowWatcher : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* widget = static_cast<QWidget*>(watched);
      if (widget->isWindow()) MakeAccessible(widget);
    }
    return false;
  }
};

// "ポート名　：" names its list "ポート名".
QString LabelWords(const QLabel& label) {
  QString words = label.text();
  words.remove(QLatin1Char('&'));
  static const QString kTrailing = QStringLiteral("：: 　");
  while (!words.isEmpty() && kTrailing.contains(words.back())) words.chop(1);
  return words.trimmed();
}

// "はい(&Y)" is named "はい": the key binding reaches the reader on its own.
QString ButtonWords(const QAbstractButton& button) {
  static const QRegularExpression kAccelerator(QStringLiteral("\\(&.\\)$"));
  QString words = button.text();
  words.remove(kAccelerator);
  words.remove(QLatin1Char('&'));
  return words.trimmed();
}

}  // namespace

void MakeAccessible(QWidget* window) {
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (button->accessibleName().isEmpty() && !button->text().isEmpty()) {
      button->setAccessibleName(ButtonWords(*button));
    }
  }
  for (QLabel* label : window->findChildren<QLabel*>()) {
    QWidget* buddy = label->buddy();
    if (buddy != nullptr && buddy->accessibleName().isEmpty()) {
      buddy->setAccessibleName(LabelWords(*label));
    }
  }
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (qobject_cast<QComboBox*>(control) != nullptr) continue;  // read live, see above
    if (!control->toolTip().isEmpty() && control->accessibleDescription().isEmpty()) {
      control->setAccessibleDescription(control->toolTip());
    }
  }
}

void InstallAccessibility(QApplication& application) {
  // Installed after the application: later factories are asked first, before Qt's own.
  QAccessible::installFactory(AccessibleFactory);
  application.installEventFilter(new WindowShowWatcher(&application));
}

bool LoadJapaneseQtTranslations(QTranslator& translator) {
  return translator.load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
         QApplication::installTranslator(&translator);
}

}  // namespace redadado
