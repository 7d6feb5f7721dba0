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
  // Not the accessible name: a change of name is one more event for every page of a print,
  // and a reader flooded with them drops the lot.
  text_ = text;
  if (!QAccessible::isActive()) return;
  QAccessibleEvent shown(this, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
}

}  // namespace redadado
