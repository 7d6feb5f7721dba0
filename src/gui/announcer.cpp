#include "gui/announcer.h"

#include <QAccessible>

namespace redadado {

Announcer::Announcer(QWidget* window) : QWidget(window) {
  setObjectName("announcer");
  setFocusPolicy(Qt::NoFocus);
  setGeometry(0, 0, 0, 0);
  // Out of sight for good: a notification that showed with its window would be read again.
  hide();
}

void Announcer::Announce(const QString& text) {
  setAccessibleName(text);
  if (!QAccessible::isActive()) return;
  QAccessibleEvent shown(this, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
}

}  // namespace redadado
