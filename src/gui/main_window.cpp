#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
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
    // The job now in the deleted one's place (or the new last) is the current one, so that a
    // screen reader's where-am-I tells a job that is there.
    SelectJob(jobGrid, top);
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
