#include "gui/escape_notice.h"

#include "gui/qt_seams.h"

namespace redadado {

EscapeNotice::EscapeNotice(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TEscapeForm");
  setWindowTitle("　お知らせ");
  setFont(PrintWindowFont());
  setFixedSize(325, 63);
  messageLabel = MakeCaptioned<QLabel>(
      this, "Label1", "エスケープキーを検出しました。しばらくお待ちください。", 40, 24);
  announcer = new Announcer(this);
  CenterOnScreen(this);
}

}  // namespace redadado
