#include "gui/qt_seams.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include "gui/text_fit.h"

namespace redadado {

namespace {

// The widest line of a message box, in pixels: well inside what the box allows before it wraps
// lines itself, on any desktop of 800 pixels and more.
constexpr int kMessageLineWidth = 380;

// The keyboard back to the window a dialog opened over, once the dialog has closed: the window
// manager may leave it nowhere, and a screen reader user then hears nothing and types into
// nothing.
void ReturnKeyboard(QWidget* owner) {
  if (owner != nullptr && owner->isVisible()) owner->activateWindow();
}

}  // namespace

QWidget* DialogOwner::Window() const {
  // Not a run's progress window or notice: they come and go while the question is up.
  QWidget* active = QApplication::activeWindow();
  if (qobject_cast<QDialog*>(active) != nullptr) return active;
  // Before the main window shows (the start-up notice) a box stands alone.
  return mainWindow_ != nullptr && mainWindow_->isVisible() ? mainWindow_ : nullptr;
}

MessageAnswer QtMessages::Show(const std::string& caption, const std::string& text,
                               MessageIcon icon, MessageButtons buttons) {
  QMessageBox::Icon boxIcon = QMessageBox::Warning;
  switch (icon) {
    case MessageIcon::kExclamation:
      boxIcon = QMessageBox::Warning;
      break;
    case MessageIcon::kQuestion:
      boxIcon = QMessageBox::Question;
      break;
    case MessageIcon::kInformation:
      boxIcon = QMessageBox::Information;
      break;
  }
  QMessageBox::StandardButtons standard = QMessageBox::Ok;
  switch (buttons) {
    case MessageButtons::kOk:
      standard = QMessageBox::Ok;
      break;
    case MessageButtons::kOkCancel:
      standard = QMessageBox::Ok | QMessageBox::Cancel;
      break;
    case MessageButtons::kYesNo:
    case MessageButtons::kYesNoDefaultNo:
      standard = QMessageBox::Yes | QMessageBox::No;
      break;
  }
  QWidget* owner = owner_.Window();
  QMessageBox box(boxIcon, ToQt(caption), QString(), standard, owner);
  // A dialog's frame: a title and a close box, nothing to minimise or maximise.
  box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                     Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  // Lines end only where a sentence, a clause or a path allows it, never inside a word; the
  // box then has no reason to wrap them itself.
  box.setText(BreakLines(ToQt(text), box.fontMetrics(), kMessageLineWidth));
  if (buttons == MessageButtons::kYesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
  const int answer = box.exec();
  ReturnKeyboard(owner);
  switch (answer) {
    case QMessageBox::Cancel:
      return MessageAnswer::kCancel;
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    default:
      // Escape or the close box on a question without Cancel or No is not a Yes.
      return buttons == MessageButtons::kYesNo || buttons == MessageButtons::kYesNoDefaultNo
                 ? MessageAnswer::kNo
                 : MessageAnswer::kOk;
  }
}

std::optional<std::string> QtFileChooser::ChooseFile(const std::string& title,
                                                     const std::string& filter) {
  // "description (*.ext)|*.EXT": the dialog takes the description with its pattern, and
  // matches it in any letter case.
  const QString description = ToQt(filter.substr(0, filter.find('|')));
  QWidget* owner = owner_.Window();
  QFileDialog dialog(owner, ToQt(title), QString(), description);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // No completion list under the file name: it takes the keyboard into a window of its own,
  // where the screen reader loses the dialog and a Return picks the completion instead of the
  // file typed.
  if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) name->setCompleter(nullptr);
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  ReturnKeyboard(owner);
  if (!chosen) return std::nullopt;
  return FromQt(dialog.selectedFiles().front());
}

QFont WindowFont(const QStringList& families, int pixelHeight) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixelHeight);
  return font;
}

QFont TahomaFont(int pixelHeight) {
  return WindowFont({"Tahoma", "IPAPGothic", "IPAGothic"}, pixelHeight);
}

QFont GothicFont(int pixelHeight) {
  return WindowFont({"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic", "IPAGothic"}, pixelHeight);
}

QFont PrintWindowFont() {
  QFont font = TahomaFont(11);
  font.setPointSize(8);
  return font;
}

void CenterOnScreen(QWidget* window) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
}

void PlaceLabel(QWidget* label, int left, int top) {
  label->adjustSize();
  label->move(left, top);
}

LabelledList MakeListRow(QWidget* parent, const ListRow& row) {
  auto* label =
      MakeCaptioned<QLabel>(parent, row.labelName, row.text, row.labelAt.x(), row.labelAt.y());
  if (row.labelFont) {
    label->setFont(*row.labelFont);
    label->adjustSize();  // to the caption in its own font
  }
  auto* list = new QComboBox(parent);
  list->setObjectName(row.listName);
  list->addItems(row.items);
  if (row.editable) {
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
  }
  if (row.listFont) list->setFont(*row.listFont);
  QRect place = row.listAt;
  if (place.height() == 0) place.setHeight(list->sizeHint().height());
  list->setGeometry(place);
  label->setBuddy(list);
  return {label, list};
}

}  // namespace redadado
