#include "emboss/Escape.h"

#include "app/QtSeams.h"

namespace redadado {

TEscapeForm::TEscapeForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TEscapeForm");
  setWindowTitle("　お知らせ");
  setFont(PrintWindowFont());
  setFixedSize(325, 63);
  Label1 = new QLabel("エスケープキーを検出しました。しばらくお待ちください。", this);
  Label1->setObjectName("Label1");
  PlaceLabel(Label1, 40, 24);
  CenterOnScreen(this);
}

}  // namespace redadado
