#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <utility>

#include "base/file_chooser.h"
#include "base/messages.h"

class QComboBox;
class QLabel;
class QWidget;

namespace redadado {

// The window a dialog opens over, so that the window manager and the screen reader bring the
// user back to it when the dialog closes: the active dialog, where the user's key came from, or
// else the main window.
class DialogOwner {
 public:
  void SetMainWindow(QWidget* window) { mainWindow_ = window; }
  QWidget* Window() const;

 private:
  QWidget* mainWindow_ = nullptr;
};

// Message boxes over the window that asked.
class QtMessages : public Messages {
 public:
  explicit QtMessages(const DialogOwner& owner) : owner_(owner) {}
  MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                     MessageButtons buttons) override;

 private:
  const DialogOwner& owner_;
};

// The file-open dialog, over the window that asked.
class QtFileChooser : public FileChooser {
 public:
  explicit QtFileChooser(const DialogOwner& owner) : owner_(owner) {}
  std::optional<std::string> ChooseFile(const std::string& title,
                                        const std::string& filter) override;

 private:
  const DialogOwner& owner_;
};

// Text between the core (UTF-8) and the widgets.
inline QString ToQt(const std::string& text) {
  return QString::fromStdString(text);
}
inline std::string FromQt(const QString& text) {
  return text.toStdString();
}

// The windows' fonts: the first family that is installed, at a height in pixels. Windows
// fonts such as Tahoma and "ＭＳ Ｐゴシック" are missing on Linux; IPA Gothic stands in.
QFont WindowFont(const QStringList& families, int pixelHeight);
QFont TahomaFont(int pixelHeight);
QFont GothicFont(int pixelHeight);  // ＭＳ Ｐゴシック
QFont PrintWindowFont();            // the print windows' Tahoma at 8 points

// Top-level windows that stand in the middle of the desktop.
void CenterOnScreen(QWidget* window);

// A fixed place and size in the window, as the layout tables give them.
void Place(QWidget* widget, int left, int top, int width, int height);
// A label sized to its text at the given place.
void PlaceLabel(QWidget* label, int left, int top);
// A captioned widget (a label, a radio button) named and sized to its caption at the given place.
template <typename Widget>
Widget* MakeCaptioned(QWidget* parent, const char* name, const QString& caption, int left,
                      int top) {
  auto* widget = new Widget(caption, parent);
  widget->setObjectName(name);
  PlaceLabel(widget, left, top);
  return widget;
}

// A row of the layout tables: a label and the list it names.
struct ListRow {
  const char* labelName;
  QString text;
  QPoint labelAt;
  const char* listName;
  QStringList items = {};
  QRect listAt = {};                    // a height of 0: the list's own
  std::optional<QFont> labelFont = {};  // the window's font when empty
  std::optional<QFont> listFont = {};
  bool editable = false;  // typed text also chooses (it is never added to the list)
};
using LabelledList = std::pair<QLabel*, QComboBox*>;
// Makes the row's label and list; the label is the list's buddy, so screen readers name the list
// by it and its accelerator leads there.
LabelledList MakeListRow(QWidget* parent, const ListRow& row);

}  // namespace redadado
