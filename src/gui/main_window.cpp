#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPalette>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "gui/escape_key_preview.h"
#include "gui/job_grid.h"
#include "gui/page_overview.h"
#include "gui/qt_seams.h"
#include "gui/screen_reader.h"
#include "gui/settings_dialog.h"

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

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  PlaceLabel(label, left, top);
  return label;
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

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items, int left, int top,
                    int width) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->addItems(items);
  Place(list, left, top, width, list->sizeHint().height());
  return list;
}

// How many jobs the list holds, as a screen reader hears it after a change.
QString JobsLeft(const JobList& jobs) {
  return QString("ジョブは %1 件です。").arg(jobs.JobCount());
}

}  // namespace

class MainWindow::RunScope {
 public:
  explicit RunScope(MainWindow& form)
      : form_(form), focus_(form.focusWidget()), controls_{form.selectBseButton,
                                                           form.selectBesButton,
                                                           form.viewButton,
                                                           form.registerButton,
                                                           form.printButton,
                                                           form.deleteJobButton,
                                                           form.batchPrintButton} {
    form_.printing_ = true;
    for (QWidget* control : controls_) {
      enabled_.push_back(control->isEnabled());
      control->setEnabled(false);
    }
  }
  ~RunScope() {
    form_.printWindows_.FinishHide();
    for (std::size_t i = 0; i < controls_.size(); ++i) controls_[i]->setEnabled(enabled_[i]);
    form_.printing_ = false;
    if (focus_ != nullptr && focus_->isEnabled()) focus_->setFocus();
    if (form_.printWindows_.TakePagesSent()) {
      form_.announcer_->Announce("印刷が終わりました。" + endNote_);
    }
  }
  // Said with the end of the print.
  void SetEndNote(const QString& note) { endNote_ = note; }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  MainWindow& form_;
  QWidget* focus_;
  std::vector<QWidget*> controls_;
  std::vector<bool> enabled_;
  QString endNote_;
};

MainWindow::MainWindow(Session& session, Messages& messages, FileChooser& chooser,
                       ReaderRoutes readers)
    : QWidget(nullptr),
      session_(session),
      messages_(messages),
      chooser_(chooser),
      printWindows_(session),
      runMessages_(printWindows_, messages) {
  BuildControls();
  announcer_ = new Announcer(this);
  // PC-Talker's route opens as soon as the controls exist, whatever the choice.
  guide_.emplace(session_.settings, QuietBesideScreenReader(std::move(readers)));
  ConnectSpeech();
  SetUpJobGrid();
  new EscapeKeyPreview(this, session_);
  setAcceptDrops(true);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
  setObjectName("TForm1");
  setWindowTitle(kMainCaption);
  setFont(TahomaFont(11));
  setFixedSize(661, 459);

  introLabel =
      MakeLabel(this, "Label1",
                "ＢＳＥファイル、または、ＢＥＳファイルを Ｌサイズ点字で印刷します。", 29, 22);
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
  batchLabel = MakeLabel(
      this, "Label3", "リストアップされたファイルをまとめて Ｌサイズ点字で印刷します。", 29, 249);
  deleteJobButton = MakeButton(this, "Button9", "取り消し(&D)",
                               "リストの中で選択された登録を削除します", 403, 237);
  batchPrintButton = MakeButton(this, "Button6", "印刷(&R)",
                                "リストアップされたファイルをまとめて点字印刷します", 528, 237);
  jobGrid = new QTableWidget(2, 9, this);
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
  fileLabel = MakeLabel(documentPanel, "FileL", "ファイル　：", 21, 61);
  fileEdit = MakeEdit(documentPanel, "FileE", 80, 59, 545, 23);
  fileEdit->setReadOnly(true);
  copiesLabel = MakeLabel(documentPanel, "Label2", "部数　：", 21, 97);
  copiesEdit = MakeEdit(documentPanel, "BusuE", 80, 95, 41, 23);
  copiesUpDown = MakeUpDown(documentPanel, "BusuUD", copiesEdit, 100, 1, 121, 95);
  rangeLabel = MakeLabel(documentPanel, "Label5", "範囲　：", 192, 97);
  rangeLabel->setEnabled(false);
  startPageEdit = MakeEdit(documentPanel, "StartPE", 256, 95, 41, 23);
  startPageUpDown = MakeUpDown(documentPanel, "StartPUD", startPageEdit, 999, 1, 297, 95);
  rangeDashLabel = MakeLabel(documentPanel, "Label10", "～", 326, 99);
  lastPageEdit = MakeEdit(documentPanel, "LastPE", 349, 95, 41, 23);
  lastPageUpDown = MakeUpDown(documentPanel, "LastPUD", lastPageEdit, 999, 999, 390, 95);
  linesLabel = MakeLabel(documentPanel, "RyoumenL", "行数　：", 21, 133);
  linesEdit = MakeEdit(documentPanel, "KataRyouE", 80, 131, 81, 21);
  linesEdit->setFont(font());
  linesEdit->setReadOnly(true);
  sideLabel = MakeLabel(documentPanel, "MenL", "印刷面　：", 192, 134);
  sideLabel->setEnabled(false);
  sideList = MakeList(documentPanel, "MenCB",
                      {"表面のみ", "裏面のみ", "表＋裏、通常の両面印刷", "表＋裏、番号順片面印刷",
                       "全ページ片面印刷"},
                      256, 130, 150);
  sideList->setCurrentIndex(-1);
  dotKindLabel = MakeLabel(documentPanel, "Label4", "点種　：", 435, 133);
  dotKindList = MakeList(documentPanel, "TenSizeCB",
                         {"中点", "大点", "中点、２度打ち", "大点、２度打ち"}, 488, 130, 137);
  dotKindList->setCurrentIndex(0);

  fileLabel->setBuddy(fileEdit);
  copiesLabel->setBuddy(copiesEdit);
  rangeLabel->setBuddy(startPageEdit);
  linesLabel->setBuddy(linesEdit);
  sideLabel->setBuddy(sideList);
  dotKindLabel->setBuddy(dotKindList);

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
  jobGrid->setCurrentCell(0, 0);
}

DocumentControlValues MainWindow::ShownControls() const {
  return {FromQt(fileEdit->text()),
          copiesUpDown->Position(),
          startPageUpDown->Position(),
          lastPageUpDown->Position(),
          FromQt(linesEdit->text()),
          Sides(),
          Dots()};
}

void MainWindow::LoadDocumentControls(const DocumentControlValues& values) {
  startPageUpDown->setMaximum(999);
  lastPageUpDown->setMaximum(999);
  fileEdit->setText(ToQt(values.file));
  copiesUpDown->SetPosition(values.copies);
  startPageUpDown->SetPosition(values.startPage);
  lastPageUpDown->SetPosition(values.lastPage);
  linesEdit->setText(ToQt(values.linesText));
  sideList->setCurrentIndex(ItemOf(values.side));
  dotKindList->setCurrentIndex(ItemOf(values.dots));
}

void MainWindow::JobListChanged() {
  ShowJobs(jobGrid, jobs_);
}

void MainWindow::StartUp(const std::optional<std::string>& argument) {
  session_.LoadSettings();
  guide_->OpenXpReader();
  if (!argument) {
    messages_.Show(kNoticeCaption, kA4Notice, MessageIcon::kExclamation, MessageButtons::kOk);
    return;
  }
  // The print windows exist by now: they are on screen, and Esc reaches the run through them,
  // before the embosser has taken a byte.
  const RunScope run(*this);
  PrintSeams seams = Seams();
  DirectPrint(session_, *argument, seams);
}

void MainWindow::AttachWindows(SettingsDialog* settings, EscapeNotice* escape,
                               ProgressWindow* progress, ResumeDialog* resume) {
  settings_ = settings;
  printWindows_.Attach(escape, progress, resume);
}

PrintSeams MainWindow::Seams() {
  return PrintSeams{*this, printWindows_, runMessages_, [this](std::chrono::milliseconds held) {
                      printWindows_.PumpEvents();
                      // Esc is seen at once, even while the embosser holds the byte back.
                      if (session_.run.escapeRequested != 0) printWindows_.ShowEscapeNotice();
                      return heldGuard_.KeepWaiting(session_.run, session_.settings, held,
                                                    messages_);
                    }};
}

std::string MainWindow::DocumentLabel() const {
  return FromQt(fileEdit->text());
}

void MainWindow::ResetDocumentControls() {
  fileEdit->clear();
  linesEdit->clear();
  startPageUpDown->SetPosition(1);
  ResetLastPage();
  sideLabel->setEnabled(false);
  sideList->setCurrentIndex(-1);
}

void MainWindow::ShowFile(const std::string& path) {
  fileEdit->setText(ToQt(path));
}

void MainWindow::ShowHeader(const HeaderCheck& check) {
  linesEdit->setText(ToQt(check.linesText));
  sideLabel->setEnabled(check.sideLabelEnabled);
  sideList->setCurrentIndex(ItemOf(check.side));
  lastPageUpDown->setMaximum(check.pageCount);
  lastPageUpDown->SetPosition(check.pageCount);
}

void MainWindow::ResetLastPage() {
  lastPageUpDown->setMaximum(999);
  lastPageUpDown->SetPosition(999);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (focusWidget() == nullptr) selectBseButton->setFocus();
}

void MainWindow::selectBseClicked() {
  SelectBseDocument(session_, chooser_, *this, messages_);
}

void MainWindow::selectBesClicked() {
  SelectBesDocument(session_, chooser_, *this, messages_);
}

void MainWindow::printClicked() {
  const RunScope run(*this);
  PrintSeams seams = Seams();
  PrintCurrentDocument(session_, seams);
}

void MainWindow::settingsClicked() {
  if (settings_ == nullptr) return;
  if (!settings_->isVisible()) settings_->show();
  settings_->raise();
  settings_->activateWindow();
}

// The view button: the document must open; it stays open while the overview is shown.
void MainWindow::viewClicked() {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(
      OpenDocumentFile(session_.document.path), &std::fclose);
  if (!stream) {
    messages_.Report(kCannotOpenFile);
    return;
  }
  if (overview_ != nullptr) overview_->exec();
}

void MainWindow::registerClicked() {
  const DocumentControlValues shown = ShownControls();
  if (!RegisterJob(session_, jobs_, shown, messages_)) return;
  LoadDocumentControls(ControlsAfterRegistration(shown));
  JobListChanged();
  SelectJob(jobGrid, jobs_.JobCount() - 1);
  announcer_->Announce("ジョブを登録しました。" + JobsLeft(jobs_));
}

void MainWindow::deleteJobClicked() {
  // Of a range only its top row counts.
  int top = jobGrid->currentRow();
  const QList<QTableWidgetSelectionRange> ranges = jobGrid->selectedRanges();
  if (!ranges.isEmpty()) {
    top = ranges.front().topRow();
    for (const QTableWidgetSelectionRange& range : ranges) top = std::min(top, range.topRow());
  }
  if (top >= 0 && jobs_.Delete(top + 1)) {
    JobListChanged();
    announcer_->Announce("ジョブを取り消しました。" + JobsLeft(jobs_));
  }
}

void MainWindow::batchPrintClicked() {
  RunScope run(*this);
  PrintSeams seams = Seams();
  PrintBatch(session_, jobs_, *this, seams.controls, seams.ui, seams.messages,
             [this, &seams]() -> std::unique_ptr<ByteSink> {
               return OpenSerialLink(session_.settings, session_.paths, seams.messages,
                                     seams.whileHeld);
             });
  run.SetEndNote(JobsLeft(jobs_));
}

void MainWindow::quitClicked() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!MayClose()) {
    event->ignore();
    return;
  }
  event->accept();
  // Quitting is the end of the application: no window of it stays open (the settings dialog
  // would keep the process running with its changes unsaved).
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible()) window->close();
  }
}

bool MainWindow::MayClose() {
  // Closing in the middle of a run would pull the window from under it.
  if (printing_) {
    messages_.Report(kCannotQuitWhilePrinting);
    return false;
  }
  if (jobs_.RowCount() > 2 &&
      messages_.Show(kConfirmCaption, kJobsRemainQuestion, MessageIcon::kExclamation,
                     MessageButtons::kYesNo) != MessageAnswer::kYes) {
    return false;
  }
  if (const std::optional<std::string> reason = session_.SaveSettings()) {
    messages_.Report(std::string(kSettingsNotSaved) + "\n" + *reason);
  }
  guide_->ReleaseXpReader();
  return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  // One run at a time: nothing can be dropped while a document is printing.
  if (!printing_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (printing_ || urls.isEmpty()) return;
  event->acceptProposedAction();
  // Only the first file is printed; the print starts once the drop itself is over, so the
  // program the file came from is not kept waiting for the whole run.
  const std::string path = FromQt(urls.front().toLocalFile());
  QTimer::singleShot(0, this, [this, path] { DropFile(path); });
}

void MainWindow::DropFile(const std::string& path) {
  if (printing_) return;
  const RunScope run(*this);
  PrintSeams seams = Seams();
  DirectPrint(session_, path, seams);
}

}  // namespace redadado
