#include "emboss/Lpsaikai.h"

#include "app/QtSeams.h"

namespace redadado {

TLP_SaikaiForm::TLP_SaikaiForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("TLP_SaikaiForm");
  setWindowTitle("　印刷の再開・中断");
  setFont(PrintWindowFont());
  setFixedSize(403, 138);
  move(0, 0);
  setModal(true);

  Label1 = new QLabel("ＥＳＣキーによって印刷が中断されました。再開方法を指示して下さい。", this);
  Label1->setObjectName("Label1");
  PlaceLabel(Label1, 24, 21);
  SaikaiRB = new QRadioButton("指定ページから印刷を再開する ----", this);
  SaikaiRB->setObjectName("SaikaiRB");
  PlaceLabel(SaikaiRB, 40, 53);
  ChuusiRB = new QRadioButton("印刷を中止する", this);
  ChuusiRB->setObjectName("ChuusiRB");
  PlaceLabel(ChuusiRB, 40, 77);
  ChuusiRB->setChecked(true);
  SaikaiE = new QLineEdit(this);
  SaikaiE->setObjectName("SaikaiE");
  SaikaiE->setReadOnly(true);
  Place(SaikaiE, 256, 51, 33, 21);
  SaikaiUD = new UpDown(this, SaikaiE, 1, 999, 1);
  // No label stands for the page field: screen readers get its words here.
  SaikaiRB->setAccessibleName("指定ページから印刷を再開する");
  SaikaiE->setAccessibleName("再開ページ");
  SaikaiUD->setAccessibleName("再開ページのアップダウン");
  SaikaiUD->setObjectName("SaikaiUD");
  Place(SaikaiUD, 289, 51, 16, 21);
  Label2 = new QLabel("ページから", this);
  Label2->setObjectName("Label2");
  PlaceLabel(Label2, 314, 55);
  Button1 = new QPushButton("ＯＫ", this);
  Button1->setObjectName("Button1");
  Place(Button1, 304, 93, 75, 25);
  Button1->setDefault(true);

  setTabOrder(SaikaiRB, ChuusiRB);
  setTabOrder(ChuusiRB, SaikaiE);
  setTabOrder(SaikaiE, SaikaiUD);
  setTabOrder(SaikaiUD, Button1);
  connect(Button1, &QPushButton::clicked, this, &TLP_SaikaiForm::Button1Click);
}

void TLP_SaikaiForm::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

// Stopping is preselected every time.
void TLP_SaikaiForm::FormShow() {
  SaikaiUD->SetPosition(1);
  ChuusiRB->setChecked(true);
  ChuusiRB->setFocus();
}

void TLP_SaikaiForm::Button1Click() {
  if (SaikaiRB->isChecked()) {
    session_.resumePage = SaikaiUD->Position();
  } else if (ChuusiRB->isChecked()) {
    session_.resumePage = 0;
  }
  accept();
}

}  // namespace redadado
