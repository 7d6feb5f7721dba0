#include "gui/escape_key_preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace redadado {

EscapeKeyPreview::EscapeKeyPreview(QWidget* window, Session& session)
    : QObject(window), window_(window), session_(session) {
  qApp->installEventFilter(this);
}

EscapeKeyPreview::~EscapeKeyPreview() {
  qApp->removeEventFilter(this);
}

bool EscapeKeyPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == window_) {
    session_.run.PressEscape();
  }
  return false;
}

}  // namespace redadado
