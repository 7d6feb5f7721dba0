#pragma once

#include <QLabel>
#include <QWidget>

#include "app/session.h"

namespace redadado {

// The progress window: which copy and page are being sent; Esc here interrupts the run.
class TLPrintInfoForm : public QWidget {
  Q_OBJECT

 public:
  explicit TLPrintInfoForm(Session& session, QWidget* parent = nullptr);

  QLabel* info;
  QLabel* Label1;
};

}  // namespace redadado
