#pragma once

class QAccessibleInterface;
class QObject;

namespace redadado {

// The accessible interface of a one-line text field (QLineEdit), in place of Qt 6.4's own: that
// one loops for good on some word queries (AT-SPI GetTextAtOffset with a word boundary inside a
// path), which freezes the whole window while a screen reader reads by word. This one splits the
// text once per query and answers every boundary type at every offset, the end and past it
// included. Null for anything but a line edit that shows its text.
QAccessibleInterface* TextFieldAccessible(QObject* object);

}  // namespace redadado
