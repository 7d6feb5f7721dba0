#include "emboss/Lprintinfo.h"

#include "app/QtSeams.h"
#include "emboss/EscapeKeyPreview.h"

namespace redadado {

TLPrintInfoForm::TLPrintInfoForm(Session& session, QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TLPrintInfoForm");
  setWindowTitle("　印刷情報");
  setFont(PrintWindowFont());
  setFixedSize(504, 80);
  move(0, 0);
  info = new QLabel(this);
  info->setObjectName("info");
  // The progress text names the document's full path: room up to the window's edge.
  Place(info, 32, 20, 504 - 32 - 8, 16);
  Label1 = new QLabel("ＥＳＣキーで中断できます。", this);
  Label1->setObjectName("Label1");
  PlaceLabel(Label1, 32, 44);
  new EscapeKeyPreview(this, session);
}

}  // namespace redadado
