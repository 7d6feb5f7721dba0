#include "gui/resume_dialog.h"

#include <QTimer>

#include "gui/qt_seams.h"

namespace redadado {

ResumeDialog::ResumeDialog(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName("TLP_SaikaiForm");
  setWindowTitle("　印刷の再開・中断");
  setFont(PrintWindowFont());
  setFixedSize(403, 138);
  move(0, 0);
  setModal(true);

  explanationLabel = MakeCaptioned<QLabel>(
      this, "Label1", "ＥＳＣキーによって印刷が中断されました。再開方法を指示して下さい。", 24, 21);
  resumeRadio =
      MakeCaptioned<QRadioButton>(this, "SaikaiRB", "指定ページから印刷を再開する ----", 40, 53);
  stopRadio = MakeCaptioned<QRadioButton>(this, "ChuusiRB", "印刷を中止する", 40, 77);
  stopRadio->setChecked(true);
  pageEdit = new QLineEdit(this);
  pageEdit->setObjectName("SaikaiE");
  pageEdit->setReadOnly(true);
  Place(pageEdit, 256, 51, 33, 21);
  pageUpDown = new UpDown(this, pageEdit, 1, 999, 1);
  // No label stands for the page field: screen readers get its words here.
  resumeRadio->setAccessibleName("指定ページから印刷を再開する");
  pageEdit->setAccessibleName("再開ページ");
  pageUpDown->setAccessibleName("再開ページのアップダウン");
  pageUpDown->setObjectName("SaikaiUD");
  Place(pageUpDown, 289, 51, 16, 21);
  pageLabel = MakeCaptioned<QLabel>(this, "Label2", "ページから", 314, 55);
  okButton = new QPushButton("ＯＫ", this);
  okButton->setObjectName("Button1");
  Place(okButton, 304, 93, 75, 25);
  okButton->setDefault(true);
  announcer = new Announcer(this);

  setTabOrder(resumeRadio, stopRadio);
  setTabOrder(stopRadio, pageEdit);
  setTabOrder(pageEdit, pageUpDown);
  setTabOrder(pageUpDown, okButton);
  connect(okButton, &QPushButton::clicked, this, &ResumeDialog::okClicked);
}

void ResumeDialog::showEvent(QShowEvent* event) {
  LimitPages();
  QDialog::showEvent(event);
  // The reader says the dialog and its focused choice as it opens; why it opened, after them.
  QTimer::singleShot(0, this, [this] { announcer->Announce(explanationLabel->text()); });
}

// Stopping is preselected every time.
void ResumeDialog::LimitPages() {
  pageUpDown->SetPosition(1);
  stopRadio->setChecked(true);
  stopRadio->setFocus();
}

void ResumeDialog::okClicked() {
  if (resumeRadio->isChecked()) {
    session_.run.resumePage = pageUpDown->Position();
  } else if (stopRadio->isChecked()) {
    session_.run.resumePage = 0;
  }
  accept();
}

}  // namespace redadado
