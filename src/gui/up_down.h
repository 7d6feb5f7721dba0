#pragma once

#include <QLineEdit>
#include <QSpinBox>

namespace redadado {

// An up-down control attached to its edit, as the windows' number fields are: the up-down holds
// the position within its range and is a tab stop of its own; the edit shows the position. A
// number typed into the edit moves the position, kept within the range, so an out-of-range
// number never becomes the position; leaving the edit shows the position again.
class UpDown : public QSpinBox {
  Q_OBJECT

 public:
  UpDown(QWidget* parent, QLineEdit* buddy, int minimum, int maximum, int position);

  int Position() const { return value(); }
  void SetPosition(int position) { setValue(position); }

 private:
  void ShowPosition();

  QLineEdit* buddy_;
};

}  // namespace redadado
