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

#include "app/UpDown.h"
#include "app/document_entry.h"
#include "app/file_chooser.h"
#include "app/messages.h"
#include "app/session.h"
#include "emboss/PrintWindows.h"
#include "emboss/held_output.h"
#include "jobs/batch_print.h"
#include "jobs/job_list.h"
#include "speech/speech_guide.h"

namespace redadado {

class TSetteiForm;
class TEscapeForm;
class TLPrintInfoForm;
class TLP_SaikaiForm;
class TBSEImageForm;

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
class TForm1 : public QWidget, public DocumentControls, public BatchWindow {
  Q_OBJECT

 public:
  TForm1(Session& session, Messages& messages, FileChooser& chooser,
         ReaderRoutes readers = PlatformReaderRoutes());
  ~TForm1() override;

  // The rest of the window's creation: the settings, then the start-up notice, or the print of
  // the document given on the command line (before the other windows exist).
  void FormCreate(const std::optional<std::string>& argument);
  // The windows created after this one.
  void AttachWindows(TSetteiForm* settings, TEscapeForm* escape, TLPrintInfoForm* progress,
                     TLP_SaikaiForm* resume);
  // The page overview, which the view button opens.
  void AttachPreview(TBSEImageForm* overview) { overview_ = overview; }

  bool Printing() const { return printing_; }

  // DocumentControls: what the print run reads and resets.
  int Copies() const override { return BusuUD->Position(); }
  int StartPage() const override { return StartPUD->Position(); }
  int LastPage() const override { return LastPUD->Position(); }
  int SideChoice() const override { return MenCB->currentIndex(); }
  int DotKind() const override { return TenSizeCB->currentIndex(); }
  std::string DocumentLabel() const override;
  void ResetDocumentControls() override;
  void ShowFile(const std::string& path) override;
  void ShowHeader(const HeaderCheck& check) override;
  void ResetLastPage() override;

  // BatchWindow: a job loaded back into the document controls; the grid shown again.
  void LoadDocumentControls(const DocumentControlValues& values) override;
  void JobListChanged() override;
  const JobList& Jobs() const { return jobs_; }

  QLabel* Label1;
  QPushButton* Button2;
  QPushButton* Button3;
  QFrame* Panel1;
  QLabel* Label3;
  QPushButton* Button9;
  QPushButton* Button6;
  QTableWidget* StringGrid1;
  // Inside Panel1.
  QPushButton* Button1;
  QPushButton* Button7;
  QPushButton* Button8;
  QPushButton* Button4;
  QPushButton* Button5;
  QLabel* FileL;
  QLineEdit* FileE;
  QLabel* Label2;
  QLineEdit* BusuE;
  UpDown* BusuUD;
  QLabel* Label5;
  QLineEdit* StartPE;
  UpDown* StartPUD;
  QLabel* Label10;
  QLineEdit* LastPE;
  UpDown* LastPUD;
  QLabel* RyoumenL;
  QLineEdit* KataRyouE;
  QLabel* MenL;
  QComboBox* MenCB;
  QLabel* Label4;
  QComboBox* TenSizeCB;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void SetUpJobGrid();
  DocumentControlValues ShownControls() const;
  void Button1Click();
  void Button7Click();
  void Button5Click();
  void Button2Click();
  void Button4Click();
  void Button9Click();
  void Button6Click();
  void Button3Click();
  void Button8Click();
  bool FormCloseQuery();
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
  TSetteiForm* settings_ = nullptr;
  TBSEImageForm* overview_ = nullptr;
  bool printing_ = false;
  JobList jobs_;
  std::optional<SpeechGuide> guide_;
};

}  // namespace redadado
