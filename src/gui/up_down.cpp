#include "gui/up_down.h"

namespace redadado {

UpDown::UpDown(QWidget* parent, QLineEdit* buddy, int minimum, int maximum, int position)
    : QSpinBox(parent), buddy_(buddy) {
  setRange(minimum, maximum);
  setValue(position);
  setFrame(false);
  setFocusPolicy(Qt::StrongFocus);
  // Only the arrows show: the edit beside it shows the number.
  lineEdit()->setMaximumWidth(0);
  buddy_->setText(QString::number(value()));
  connect(this, &QSpinBox::valueChanged, this, &UpDown::ShowPosition);
  connect(buddy_, &QLineEdit::textEdited, this, [this](const QString& text) {
    bool number = false;
    const int typed = text.trimmed().toInt(&number);
    if (!number) return;
    const QSignalBlocker keepTyping(this);  // the edit keeps what is being typed
    setValue(typed);
  });
  connect(buddy_, &QLineEdit::editingFinished, this, &UpDown::ShowPosition);
}

void UpDown::ShowPosition() {
  const QString text = QString::number(value());
  if (buddy_->text() != text) buddy_->setText(text);
}

}  // namespace redadado
