#pragma once

#include <QLabel>
#include <QWidget>

#include "gui/announcer.h"

namespace redadado {

// The escape notice: Esc was seen, the page in hand is being finished.
class EscapeNotice : public QWidget {
  Q_OBJECT

 public:
  explicit EscapeNotice(QWidget* parent = nullptr);

  QLabel* messageLabel;
  Announcer* announcer;
};

}  // namespace redadado
