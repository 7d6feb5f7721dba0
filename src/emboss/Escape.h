#pragma once

#include <QLabel>
#include <QWidget>

namespace redadado {

// The escape notice: Esc was seen, the page in hand is being finished.
class TEscapeForm : public QWidget {
  Q_OBJECT

 public:
  explicit TEscapeForm(QWidget* parent = nullptr);

  QLabel* Label1;
};

}  // namespace redadado
