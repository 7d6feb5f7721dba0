#include "gui/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <vector>

#include "gui/announcer.h"
#include "gui/text_field_accessible.h"

namespace redadado {

namespace {

// One item of a closed combo box. When the arrow keys change the current item, the focus
// moves to it for the screen reader: Orca ignores a combo box's name and selection events
// without AT-SPI's Selection interface, which Qt 6.4 lacks, but says a newly focused item.
class ComboItemAccessible : public QAccessibleInterface {
 public:
  // Qt's accessibility cache owns it once registered (the combo box registers it at once).
  ComboItemAccessible(QComboBox* box, int index) : box_(box), index_(index) {}

  bool isValid() const override { return !box_.isNull() && index_ < box_->count(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return isValid() ? parent()->window() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return box_.isNull() ? nullptr : QAccessible::queryAccessibleInterface(box_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text type) const override {
    if (!isValid()) return {};
    if (type == QAccessible::Name) return box_->itemText(index_);
    // Where a settings dialog's port leads, say.
    if (type == QAccessible::Description) {
      return box_->itemData(index_, Qt::AccessibleDescriptionRole).toString();
    }
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override { return isValid() ? parent()->rect() : QRect(); }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.selectable = true;
    state.focusable = true;
    const bool current = isValid() && box_->currentIndex() == index_;
    state.selected = current;
    state.focused = current && box_->hasFocus();
    return state;
  }

 private:
  QPointer<QComboBox> box_;
  int index_;
};

// A closed, selection-only combo box as a screen reader wants it: its text is the current
// item. Orca reads a combo box's value from its selected child or, lacking children, from its
// text; Qt 6.4 offers no selection while the list is closed. Its items are children of their
// own, so that the current one can take the focus (above); the open list is a window of its
// own with its own accessible items.
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
  int childCount() const override { return Box()->count(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= Box()->count()) return nullptr;
    while (static_cast<int>(items_.size()) <= index) {
      auto* item = new ComboItemAccessible(Box(), static_cast<int>(items_.size()));
      QAccessible::registerAccessibleInterface(item);
      items_.push_back(item);
    }
    return items_[static_cast<std::size_t>(index)];
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto found = std::find(items_.begin(), items_.end(), child);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = Box()->view()->isVisible();
    state.collapsed = !state.expanded;
    return state;
  }

  QStringList actionNames() const override { return {showMenuAction(), setFocusAction()}; }
  void doAction(const QString& name) override {
    if (name == showMenuAction()) {
      Box()->showPopup();
    } else {
      QAccessibleWidget::doAction(name);
    }
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

  mutable std::vector<ComboItemAccessible*> items_;
};

// A notification named by what it says.
class AnnouncerAccessible : public QAccessibleWidget {
 public:
  explicit AnnouncerAccessible(Announcer* announcer)
      : QAccessibleWidget(announcer, QAccessible::Notification) {}
  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Name) return static_cast<Announcer*>(widget())->Text();
    return QAccessibleWidget::text(type);
  }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
  if (QAccessibleInterface* field = TextFieldAccessible(object)) return field;
  if (auto* announcer = qobject_cast<Announcer*>(object)) return new AnnouncerAccessible(announcer);
  if (auto* box = qobject_cast<QComboBox*>(object); box != nullptr && !box->isEditable()) {
    return new ComboBoxAccessible(box);
  }
  // A panel inside a window (the main window's documentPanel). Qt calls a QFrame a "frame", the
  // role of a top-level window: Orca then takes the panel for a window that is not active and says
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

// Enter and keypad Enter press the focused push button in every window, as Space does: blind
// users press buttons with Enter by habit, and the guide tells them to. Anywhere else (an edit, a
// list) Enter does what it always did.
class EnterPressesButtons : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button == nullptr || !button->hasFocus() || !button->isEnabled()) return false;
    if (!key->isAutoRepeat()) button->click();
    return true;
  }
};

// A read-only field reached with Tab keeps its text unselected. Qt 6.4 tells the reader of the
// selection and the caret before the focus; Orca then takes the field for presented and says
// neither its name nor an empty text.
class ReadOnlyFieldsSelectNothing : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::FocusIn) return false;
    const auto* edit = qobject_cast<QLineEdit*>(watched);
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (edit == nullptr || !edit->isReadOnly() ||
        (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason)) {
      return false;
    }
    QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(watched, &plain);
    return true;
  }
};

// The open list of a combo box (Alt+Down, F4) takes the keyboard with no item as the reader's
// focus, only the list, and the reader says nothing: as the list opens, its current item becomes
// the reader's focus.
class OpenListFocusesItsItem : public QObject {
 public:
  explicit OpenListFocusesItsItem(QComboBox* box) : QObject(box), box_(box) {}

  bool eventFilter(QObject*, QEvent* event) override {
    // After the focus event Qt raises for the list itself, which follows this one.
    if (event->type() == QEvent::FocusIn && QAccessible::isActive()) {
      QTimer::singleShot(0, this, [this] { FocusCurrentItem(); });
    }
    return false;
  }

 private:
  void FocusCurrentItem() const {
    QAbstractItemView* view = box_->view();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view);
    const QModelIndex current = view->currentIndex();
    if (!view->hasFocus() || list == nullptr || list->tableInterface() == nullptr ||
        !current.isValid()) {
      return;
    }
    if (QAccessibleInterface* item = list->tableInterface()->cellAt(current.row(), 0)) {
      QAccessibleEvent focus(item, QAccessible::Focus);
      QAccessible::updateAccessibility(&focus);
    }
  }

  QComboBox* box_;
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

constexpr const char* kItemsAnnounced = "redadadoItemsAnnounced";

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
  for (QComboBox* box : window->findChildren<QComboBox*>()) {
    if (box->isEditable() || box->property(kItemsAnnounced).toBool()) continue;
    box->setProperty(kItemsAnnounced, true);
    box->view()->installEventFilter(new OpenListFocusesItsItem(box));
    // The open list is named as its box.
    if (box->view()->accessibleName().isEmpty()) {
      box->view()->setAccessibleName(box->accessibleName());
    }
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [box](int index) {
      if (index < 0 || !box->hasFocus() || box->view()->isVisible()) return;
      QAccessibleEvent focus(box, QAccessible::Focus);
      focus.setChild(index);
      QAccessible::updateAccessibility(&focus);
    });
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
  application.installEventFilter(new EnterPressesButtons(&application));
  application.installEventFilter(new ReadOnlyFieldsSelectNothing(&application));
}

bool LoadJapaneseQtTranslations(QTranslator& translator) {
  return translator.load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
         QApplication::installTranslator(&translator);
}

}  // namespace redadado
