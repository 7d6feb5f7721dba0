#pragma once

#include <QString>
#include <QWidget>

namespace redadado {

// Says a text through the screen reader while the focus stays where it is: an invisible
// notification in a window that appears with the text. Qt 6.4 has no announcement event; a
// notification that shows is what Orca speaks at once (a label's change it ignores unless the
// label has the focus), and NVDA reads it too.
class Announcer : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* window);

  void Announce(const QString& text);
  const QString& Text() const { return text_; }

 private:
  QString text_;
};

}  // namespace redadado
