#include "gui/escape_notice.h"

#include "gui/qt_seams.h"

namespace redadado {

EscapeNotice::EscapeNotice(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TEscapeForm");
  setWindowTitle("　お知らせ");
  setFont(PrintWindowFont());
  setFixedSize(325, 63);
  messageLabel = new QLabel("エスケープキーを検出しました。しばらくお待ちください。", this);
  messageLabel->setObjectName("Label1");
  PlaceLabel(messageLabel, 40, 24);
  announcer = new Announcer(this);
  CenterOnScreen(this);
}

}  // namespace redadado
