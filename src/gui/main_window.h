#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "base/file_chooser.h"
#include "base/messages.h"
#include "emboss/held_output.h"
#include "gui/announcer.h"
#include "gui/print_windows.h"
#include "gui/up_down.h"
#include "jobs/job_list.h"
#include "speech/speech_guide.h"
#include "workflow/batch_print.h"
#include "workflow/document_entry.h"
#include "workflow/session.h"

namespace redadado {

class SettingsDialog;
class EscapeNotice;
class ProgressWindow;
class ResumeDialog;
class PageOverview;

inline constexpr const char* kMainCaption = "　Redadado　ＮＥＦ　ver.2.01    (2008.10.8)";
inline constexpr const char* kNoticeCaption = "ＮＥＦからお知らせ";
inline constexpr const char* kA4Notice =
    "ＮＥＦは "
    "Ａ４（１０×１１インチ）用紙に印字します。Ａ４用紙をセットし、そのようにプリンタを設定し"
    "てください。";
inline constexpr const char* kJobsRemainQuestion =
    "登録されたジョブが残っています。本当に終了しますか？  ";
inline constexpr const char* kCannotQuitWhilePrinting =
    "印刷中は終了できません。ＥＳＣキーで印刷を中断してから終了してください。";

// The main window: the document about to be printed and its print options, the ways a document
// comes in, and the buttons that print, show, set up and quit.
class MainWindow : public QWidget, public DocumentControls, public BatchWindow {
  Q_OBJECT

 public:
  MainWindow(Session& session, Messages& messages, FileChooser& chooser,
             ReaderRoutes readers = PlatformReaderRoutes());
  ~MainWindow() override;

  // The rest of the window's creation: the settings, then the start-up notice, or the print of
  // the document given on the command line (once the other windows are attached).
  void StartUp(const std::optional<std::string>& argument);
  // The windows created after this one.
  void AttachWindows(SettingsDialog* settings, EscapeNotice* escape, ProgressWindow* progress,
                     ResumeDialog* resume);
  // The page overview, which the view button opens.
  void AttachPreview(PageOverview* overview) { overview_ = overview; }

  bool Printing() const { return printing_; }
  // How long a held byte waits, Esc pending, before the question to give the run up; the line's
  // settings decide without it (tests: an endless hold within a second).
  void SetHoldPatience(std::chrono::milliseconds patience) { heldGuard_.SetPatience(patience); }

  // DocumentControls: what the print run reads and resets.
  int Copies() const override { return copiesUpDown->Position(); }
  int StartPage() const override { return startPageUpDown->Position(); }
  int LastPage() const override { return lastPageUpDown->Position(); }
  SideMode Sides() const override { return SideModeOfItem(sideList->currentIndex()); }
  DotKind Dots() const override { return DotKindOfItem(dotKindList->currentIndex()); }
  std::string DocumentLabel() const override;
  void ResetDocumentControls() override;
  void ShowFile(const std::string& path) override;
  void ShowHeader(const HeaderCheck& check) override;
  void ResetLastPage() override;

  // BatchWindow: a job loaded back into the document controls; the grid shown again.
  void LoadDocumentControls(const DocumentControlValues& values) override;
  void JobListChanged() override;
  const JobList& Jobs() const { return jobs_; }

  QLabel* introLabel;
  QPushButton* settingsButton;
  QPushButton* quitButton;
  QFrame* documentPanel;
  QLabel* batchLabel;
  QPushButton* deleteJobButton;
  QPushButton* batchPrintButton;
  QTableWidget* jobGrid;
  // Inside documentPanel.
  QPushButton* selectBseButton;
  QPushButton* selectBesButton;
  QPushButton* viewButton;
  QPushButton* registerButton;
  QPushButton* printButton;
  QLabel* fileLabel;
  QLineEdit* fileEdit;
  QLabel* copiesLabel;
  QLineEdit* copiesEdit;
  UpDown* copiesUpDown;
  QLabel* rangeLabel;
  QLineEdit* startPageEdit;
  UpDown* startPageUpDown;
  QLabel* rangeDashLabel;
  QLineEdit* lastPageEdit;
  UpDown* lastPageUpDown;
  QLabel* linesLabel;
  QLineEdit* linesEdit;
  QLabel* sideLabel;
  QComboBox* sideList;
  QLabel* dotKindLabel;
  QComboBox* dotKindList;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void SetUpJobGrid();
  DocumentControlValues ShownControls() const;
  void selectBseClicked();
  void selectBesClicked();
  void printClicked();
  void settingsClicked();
  void registerClicked();
  void deleteJobClicked();
  void batchPrintClicked();
  void quitClicked();
  void viewClicked();
  bool MayClose();
  void DropFile(const std::string& path);
  // The speech guide's focus and change announcements and the controls' accessible names.
  void ConnectSpeech();

  // Keeps to one print run at a time: the controls that would start another run or change the
  // document are disabled until the run is over, and focus comes back where it was.
  class RunScope;
  PrintSeams Seams();

  Session& session_;
  Messages& messages_;
  FileChooser& chooser_;
  PrintWindows printWindows_;
  RunMessages runMessages_;
  HeldOutputGuard heldGuard_;
  SettingsDialog* settings_ = nullptr;
  PageOverview* overview_ = nullptr;
  bool printing_ = false;
  JobList jobs_;
  std::optional<SpeechGuide> guide_;
  Announcer* announcer_;
};

}  // namespace redadado
