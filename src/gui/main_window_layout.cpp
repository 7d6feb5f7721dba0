// The main window's controls: their places, names and texts, and the job grid.
#include <QPalette>
#include <QShortcut>
#include <tuple>

#include "gui/job_grid.h"
#include "gui/main_window.h"
#include "gui/qt_seams.h"

namespace redadado {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, const char* hint,
                        int left, int top) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setToolTip(hint);
  Place(button, left, top, 105, 25);
  return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setFont(GothicFont(15));
  Place(edit, left, top, width, height);
  return edit;
}

UpDown* MakeUpDown(QWidget* parent, const char* name, QLineEdit* buddy, int maximum, int position,
                   int left, int top) {
  auto* upDown = new UpDown(parent, buddy, 1, maximum, position);
  upDown->setObjectName(name);
  Place(upDown, left, top, 16, 23);
  return upDown;
}

}  // namespace

void MainWindow::BuildControls() {
  setObjectName("TForm1");
  setWindowTitle(kMainCaption);
  setFont(TahomaFont(11));
  setFixedSize(661, 459);

  introLabel = MakeCaptioned<QLabel>(
      this, "Label1", "ＢＳＥファイル、または、ＢＥＳファイルを Ｌサイズ点字で印刷します。", 29,
      22);
  settingsButton =
      MakeButton(this, "Button2", "設定(&S)", "印刷その他の環境設定をおこないます", 403, 10);
  quitButton = MakeButton(this, "Button3", "終了(&Q)", "ＮＥＦを終了します", 528, 10);
  documentPanel = new QFrame(this);
  documentPanel->setObjectName("Panel1");
  Place(documentPanel, 8, 48, 645, 175);
  documentPanel->setFrameShape(QFrame::Panel);
  documentPanel->setFrameShadow(QFrame::Raised);
  documentPanel->setAutoFillBackground(true);
  {
    // The inactive border colour of the classic Windows scheme.
    QPalette palette = documentPanel->palette();
    palette.setColor(QPalette::Window, QColor(0xD4, 0xD0, 0xC8));
    documentPanel->setPalette(palette);
  }
  batchLabel = MakeCaptioned<QLabel>(
      this, "Label3", "リストアップされたファイルをまとめて Ｌサイズ点字で印刷します。", 29, 249);
  deleteJobButton = MakeButton(this, "Button9", "取り消し(&D)",
                               "リストの中で選択された登録を削除します", 403, 237);
  batchPrintButton = MakeButton(this, "Button6", "印刷(&R)",
                                "リストアップされたファイルをまとめて点字印刷します", 528, 237);
  jobGrid = new JobGrid(this);
  jobGrid->setObjectName("StringGrid1");
  Place(jobGrid, 8, 275, 645, 175);

  selectBseButton = MakeButton(documentPanel, "Button1", "ＢＳＥ 選択(&B)",
                               "印刷するＢＳＥファイルを選択します", 20, 16);
  selectBesButton = MakeButton(documentPanel, "Button7", "ＢＥＳ 選択(&E)",
                               "印刷するＢＥＳファイルを選択します", 145, 16);
  viewButton = MakeButton(documentPanel, "Button8", "ビュー(&V)",
                          "選択されているファイルの中身を見ます", 270, 16);
  registerButton =
      MakeButton(documentPanel, "Button4", "登録(&T)",
                 "選択したファイルを、部数や範囲とともに、後で印刷するために登録します", 395, 16);
  printButton = MakeButton(documentPanel, "Button5", "印刷(&P)",
                           "選択されたファイルを直ちに点字印刷します", 520, 16);
  fileLabel = MakeCaptioned<QLabel>(documentPanel, "FileL", "ファイル　：", 21, 61);
  fileEdit = MakeEdit(documentPanel, "FileE", 80, 59, 545, 23);
  fileEdit->setReadOnly(true);
  copiesLabel = MakeCaptioned<QLabel>(documentPanel, "Label2", "部数　：", 21, 97);
  copiesEdit = MakeEdit(documentPanel, "BusuE", 80, 95, 41, 23);
  copiesUpDown = MakeUpDown(documentPanel, "BusuUD", copiesEdit, 100, 1, 121, 95);
  rangeLabel = MakeCaptioned<QLabel>(documentPanel, "Label5", "範囲　：", 192, 97);
  rangeLabel->setEnabled(false);
  startPageEdit = MakeEdit(documentPanel, "StartPE", 256, 95, 41, 23);
  startPageUpDown = MakeUpDown(documentPanel, "StartPUD", startPageEdit, 999, 1, 297, 95);
  rangeDashLabel = MakeCaptioned<QLabel>(documentPanel, "Label10", "～", 326, 99);
  lastPageEdit = MakeEdit(documentPanel, "LastPE", 349, 95, 41, 23);
  lastPageUpDown = MakeUpDown(documentPanel, "LastPUD", lastPageEdit, 999, 999, 390, 95);
  linesLabel = MakeCaptioned<QLabel>(documentPanel, "RyoumenL", "行数　：", 21, 133);
  linesEdit = MakeEdit(documentPanel, "KataRyouE", 80, 131, 81, 21);
  linesEdit->setFont(font());
  linesEdit->setReadOnly(true);
  std::tie(sideLabel, sideList) =
      MakeListRow(documentPanel, {.labelName = "MenL",
                                  .text = "印刷面　：",
                                  .labelAt = {192, 134},
                                  .listName = "MenCB",
                                  .items = {"表面のみ", "裏面のみ", "表＋裏、通常の両面印刷",
                                            "表＋裏、番号順片面印刷", "全ページ片面印刷"},
                                  .listAt = {256, 130, 150, 0}});
  sideLabel->setEnabled(false);
  sideList->setCurrentIndex(-1);
  std::tie(dotKindLabel, dotKindList) =
      MakeListRow(documentPanel, {.labelName = "Label4",
                                  .text = "点種　：",
                                  .labelAt = {435, 133},
                                  .listName = "TenSizeCB",
                                  .items = {"中点", "大点", "中点、２度打ち", "大点、２度打ち"},
                                  .listAt = {488, 130, 137, 0}});
  dotKindList->setCurrentIndex(0);

  fileLabel->setBuddy(fileEdit);
  copiesLabel->setBuddy(copiesEdit);
  rangeLabel->setBuddy(startPageEdit);
  linesLabel->setBuddy(linesEdit);

  const QWidget* order[] = {selectBseButton,  selectBesButton, fileEdit,        copiesEdit,
                            copiesUpDown,     startPageEdit,   startPageUpDown, lastPageEdit,
                            lastPageUpDown,   dotKindList,     linesEdit,       sideList,
                            viewButton,       registerButton,  printButton,     deleteJobButton,
                            batchPrintButton, settingsButton,  quitButton};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
  }

  connect(selectBseButton, &QPushButton::clicked, this, &MainWindow::selectBseClicked);
  connect(selectBesButton, &QPushButton::clicked, this, &MainWindow::selectBesClicked);
  connect(printButton, &QPushButton::clicked, this, &MainWindow::printClicked);
  connect(settingsButton, &QPushButton::clicked, this, &MainWindow::settingsClicked);
  connect(quitButton, &QPushButton::clicked, this, &MainWindow::quitClicked);
  connect(registerButton, &QPushButton::clicked, this, &MainWindow::registerClicked);
  connect(deleteJobButton, &QPushButton::clicked, this, &MainWindow::deleteJobClicked);
  connect(batchPrintButton, &QPushButton::clicked, this, &MainWindow::batchPrintClicked);
  connect(viewButton, &QPushButton::clicked, this, &MainWindow::viewClicked);
}

void MainWindow::SetUpJobGrid() {
  // Row 0 of the job list is the table's header, so it stays in view when the jobs scroll.
  redadado::SetUpJobGrid(jobGrid);
  // Reached with the mouse, never with Tab; from the keyboard with Alt+L, so that a job other
  // than the first can be chosen with the arrow keys and deleted without a mouse.
  jobGrid->setFocusPolicy(Qt::ClickFocus);
  jobGrid->setTabKeyNavigation(false);
  auto* toJobs = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_L), this);
  connect(toJobs, &QShortcut::activated, jobGrid,
          [this] { jobGrid->setFocus(Qt::ShortcutFocusReason); });
  JobListChanged();
}

}  // namespace redadado
