#pragma once

#include <QLabel>
#include <QWidget>

#include "workflow/session.h"

namespace redadado {

// The progress window: which copy and page are being sent; Esc here interrupts the run.
class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressWindow(Session& session, QWidget* parent = nullptr);

  QLabel* progressLabel;
  QLabel* escapeHintLabel;
};

}  // namespace redadado
