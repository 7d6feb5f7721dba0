#pragma once

#include <QObject>

#include "workflow/session.h"

class QWidget;

namespace redadado {

// A window's key preview for Esc: an Esc pressed anywhere in `window` (the window itself or
// any of its controls) sets RunState::escapeRequested, and still reaches the focused control.
class EscapeKeyPreview : public QObject {
  Q_OBJECT

 public:
  EscapeKeyPreview(QWidget* window, Session& session);
  ~EscapeKeyPreview() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  Session& session_;
};

}  // namespace redadado
