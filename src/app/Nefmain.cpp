#include "app/Nefmain.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPalette>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/QtSeams.h"
#include "app/Settei.h"
#include "emboss/EscapeKeyPreview.h"
#include "preview/Bseimage.h"

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

}  // namespace

class TForm1::RunScope {
 public:
  explicit RunScope(TForm1& form)
      : form_(form), focus_(form.focusWidget()), controls_{form.Button1, form.Button7, form.Button8,
                                                           form.Button4, form.Button5, form.Button9,
                                                           form.Button6} {
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
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  TForm1& form_;
  QWidget* focus_;
  std::vector<QWidget*> controls_;
  std::vector<bool> enabled_;
};

TForm1::TForm1(Session& session, Messages& messages, FileChooser& chooser, ReaderRoutes readers)
    : QWidget(nullptr),
      session_(session),
      messages_(messages),
      chooser_(chooser),
      printWindows_(session),
      runMessages_(printWindows_, messages) {
  BuildControls();
  // PC-Talker's route opens as soon as the controls exist, whatever the choice.
  guide_.emplace(session_.settings, std::move(readers));
  ConnectSpeech();
  SetUpJobGrid();
  new EscapeKeyPreview(this, session_);
  setAcceptDrops(true);
}

TForm1::~TForm1() = default;

void TForm1::BuildControls() {
  setObjectName("TForm1");
  setWindowTitle(kMainCaption);
  setFont(TahomaFont(11));
  setFixedSize(661, 459);

  Label1 = MakeLabel(this, "Label1",
                     "ＢＳＥファイル、または、ＢＥＳファイルを Ｌサイズ点字で印刷します。", 29, 22);
  Button2 = MakeButton(this, "Button2", "設定(&S)", "印刷その他の環境設定をおこないます", 403, 10);
  Button3 = MakeButton(this, "Button3", "終了(&Q)", "ＮＥＦを終了します", 528, 10);
  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Place(Panel1, 8, 48, 645, 175);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);
  Panel1->setAutoFillBackground(true);
  {
    // The inactive border colour of the classic Windows scheme.
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, QColor(0xD4, 0xD0, 0xC8));
    Panel1->setPalette(palette);
  }
  Label3 = MakeLabel(this, "Label3",
                     "リストアップされたファイルをまとめて Ｌサイズ点字で印刷します。", 29, 249);
  Button9 = MakeButton(this, "Button9", "取り消し(&D)", "リストの中で選択された登録を削除します",
                       403, 237);
  Button6 = MakeButton(this, "Button6", "印刷(&R)",
                       "リストアップされたファイルをまとめて点字印刷します", 528, 237);
  StringGrid1 = new QTableWidget(2, 9, this);
  StringGrid1->setObjectName("StringGrid1");
  Place(StringGrid1, 8, 275, 645, 175);

  Button1 = MakeButton(Panel1, "Button1", "ＢＳＥ 選択(&B)", "印刷するＢＳＥファイルを選択します",
                       20, 16);
  Button7 = MakeButton(Panel1, "Button7", "ＢＥＳ 選択(&E)", "印刷するＢＥＳファイルを選択します",
                       145, 16);
  Button8 =
      MakeButton(Panel1, "Button8", "ビュー(&V)", "選択されているファイルの中身を見ます", 270, 16);
  Button4 =
      MakeButton(Panel1, "Button4", "登録(&T)",
                 "選択したファイルを、部数や範囲とともに、後で印刷するために登録します", 395, 16);
  Button5 = MakeButton(Panel1, "Button5", "印刷(&P)", "選択されたファイルを直ちに点字印刷します",
                       520, 16);
  FileL = MakeLabel(Panel1, "FileL", "ファイル　：", 21, 61);
  FileE = MakeEdit(Panel1, "FileE", 80, 59, 545, 23);
  FileE->setReadOnly(true);
  Label2 = MakeLabel(Panel1, "Label2", "部数　：", 21, 97);
  BusuE = MakeEdit(Panel1, "BusuE", 80, 95, 41, 23);
  BusuUD = MakeUpDown(Panel1, "BusuUD", BusuE, 100, 1, 121, 95);
  Label5 = MakeLabel(Panel1, "Label5", "範囲　：", 192, 97);
  Label5->setEnabled(false);
  StartPE = MakeEdit(Panel1, "StartPE", 256, 95, 41, 23);
  StartPUD = MakeUpDown(Panel1, "StartPUD", StartPE, 999, 1, 297, 95);
  Label10 = MakeLabel(Panel1, "Label10", "～", 326, 99);
  LastPE = MakeEdit(Panel1, "LastPE", 349, 95, 41, 23);
  LastPUD = MakeUpDown(Panel1, "LastPUD", LastPE, 999, 999, 390, 95);
  RyoumenL = MakeLabel(Panel1, "RyoumenL", "行数　：", 21, 133);
  KataRyouE = MakeEdit(Panel1, "KataRyouE", 80, 131, 81, 21);
  KataRyouE->setFont(font());
  KataRyouE->setReadOnly(true);
  MenL = MakeLabel(Panel1, "MenL", "印刷面　：", 192, 134);
  MenL->setEnabled(false);
  MenCB = MakeList(Panel1, "MenCB",
                   {"表面のみ", "裏面のみ", "表＋裏、通常の両面印刷", "表＋裏、番号順片面印刷",
                    "全ページ片面印刷"},
                   256, 130, 150);
  MenCB->setCurrentIndex(-1);
  Label4 = MakeLabel(Panel1, "Label4", "点種　：", 435, 133);
  TenSizeCB = MakeList(Panel1, "TenSizeCB", {"中点", "大点", "中点、２度打ち", "大点、２度打ち"},
                       488, 130, 137);
  TenSizeCB->setCurrentIndex(0);

  FileL->setBuddy(FileE);
  Label2->setBuddy(BusuE);
  Label5->setBuddy(StartPE);
  RyoumenL->setBuddy(KataRyouE);
  MenL->setBuddy(MenCB);
  Label4->setBuddy(TenSizeCB);

  const QWidget* order[] = {Button1, Button7, FileE,     BusuE,     BusuUD, StartPE, StartPUD,
                            LastPE,  LastPUD, TenSizeCB, KataRyouE, MenCB,  Button8, Button4,
                            Button5, Button9, Button6,   Button2,   Button3};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
  }

  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
  connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
  connect(Button9, &QPushButton::clicked, this, &TForm1::Button9Click);
  connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
  connect(Button8, &QPushButton::clicked, this, &TForm1::Button8Click);
}

void TForm1::SetUpJobGrid() {
  // Row 0 of the job list is the table's header, so it stays in view when the jobs scroll.
  QStringList headers;
  for (const JobColumn& column : kJobColumns) headers << ToQt(column.header);
  StringGrid1->setHorizontalHeaderLabels(headers);
  StringGrid1->horizontalHeader()->setMinimumSectionSize(16);
  StringGrid1->horizontalHeader()->setHighlightSections(false);
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  for (int column = 0; column < kJobColumnCount; ++column) {
    StringGrid1->setColumnWidth(column, kJobColumns[static_cast<std::size_t>(column)].width);
  }
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setDefaultSectionSize(24);
  StringGrid1->setShowGrid(true);
  StringGrid1->setWordWrap(false);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
  StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  // Reached with the mouse, never with Tab; from the keyboard with Alt+L, so that a job other
  // than the first can be chosen with the arrow keys and deleted without a mouse.
  StringGrid1->setFocusPolicy(Qt::ClickFocus);
  StringGrid1->setTabKeyNavigation(false);
  auto* toJobs = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_L), this);
  connect(toJobs, &QShortcut::activated, StringGrid1,
          [this] { StringGrid1->setFocus(Qt::ShortcutFocusReason); });
  JobListChanged();
  StringGrid1->setCurrentCell(0, 0);
}

DocumentControlValues TForm1::ShownControls() const {
  return {FromQt(FileE->text()),    BusuUD->Position(),        StartPUD->Position(),
          LastPUD->Position(),      FromQt(KataRyouE->text()), MenCB->currentIndex(),
          TenSizeCB->currentIndex()};
}

void TForm1::LoadDocumentControls(const DocumentControlValues& values) {
  StartPUD->setMaximum(999);
  LastPUD->setMaximum(999);
  FileE->setText(ToQt(values.file));
  BusuUD->SetPosition(values.copies);
  StartPUD->SetPosition(values.startPage);
  LastPUD->SetPosition(values.lastPage);
  KataRyouE->setText(ToQt(values.linesText));
  MenCB->setCurrentIndex(values.sideChoice);
  TenSizeCB->setCurrentIndex(values.dotKind);
}

void TForm1::JobListChanged() {
  // The grid's rows below its header: the jobs and the blank bottom row.
  const int rows = jobs_.RowCount() - 1;
  StringGrid1->setRowCount(rows);
  for (int row = 0; row < rows; ++row) {
    const JobList::Row& cells = jobs_.RowAt(row + 1);
    for (int column = 0; column < kJobColumnCount; ++column) {
      QTableWidgetItem* item = StringGrid1->item(row, column);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        // The number column looks fixed, as the header does.
        if (column == 0) item->setBackground(palette().button());
        StringGrid1->setItem(row, column, item);
      }
      item->setText(ToQt(cells[static_cast<std::size_t>(column)]));
    }
  }
}

void TForm1::FormCreate(const std::optional<std::string>& argument) {
  session_.LoadSettings();
  guide_->OpenXpReader();
  if (!argument) {
    messages_.Show(kNoticeCaption, kA4Notice, MessageIcon::kExclamation, MessageButtons::kOk);
    return;
  }
  // The print windows do not exist yet: a quiet run, which no Esc can reach (this window is
  // not shown, and message boxes are windows of their own).
  const RunScope run(*this);
  PrintSeams seams = Seams();
  DirectPrint(session_, *argument, /*quiet=*/true, seams);
}

void TForm1::AttachWindows(TSetteiForm* settings, TEscapeForm* escape, TLPrintInfoForm* progress,
                           TLP_SaikaiForm* resume) {
  settings_ = settings;
  printWindows_.Attach(escape, progress, resume);
}

PrintSeams TForm1::Seams() {
  return PrintSeams{*this, printWindows_, runMessages_, [this](std::chrono::milliseconds held) {
                      printWindows_.PumpEvents();
                      // Esc is seen at once, even while the embosser holds the byte back.
                      if (session_.escapeRequested != 0) printWindows_.ShowEscapeNotice();
                      return heldGuard_.KeepWaiting(session_, held, messages_);
                    }};
}

std::string TForm1::DocumentLabel() const {
  return FromQt(FileE->text());
}

void TForm1::ResetDocumentControls() {
  FileE->clear();
  KataRyouE->clear();
  StartPUD->SetPosition(1);
  ResetLastPage();
  MenL->setEnabled(false);
  MenCB->setCurrentIndex(-1);
}

void TForm1::ShowFile(const std::string& path) {
  FileE->setText(ToQt(path));
}

void TForm1::ShowHeader(const HeaderCheck& check) {
  KataRyouE->setText(ToQt(check.linesText));
  MenL->setEnabled(check.sideLabelEnabled);
  MenCB->setCurrentIndex(check.sideChoice);
  LastPUD->setMaximum(check.pageCount);
  LastPUD->SetPosition(check.pageCount);
}

void TForm1::ResetLastPage() {
  LastPUD->setMaximum(999);
  LastPUD->SetPosition(999);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (focusWidget() == nullptr) Button1->setFocus();
}

void TForm1::Button1Click() {
  SelectBseDocument(session_, chooser_, *this, messages_);
}

void TForm1::Button7Click() {
  SelectBesDocument(session_, chooser_, *this, messages_);
}

void TForm1::Button5Click() {
  const RunScope run(*this);
  PrintSeams seams = Seams();
  PrintCurrentDocument(session_, seams);
}

void TForm1::Button2Click() {
  if (settings_ == nullptr) return;
  if (!settings_->isVisible()) settings_->show();
  settings_->raise();
  settings_->activateWindow();
}

// The view button: the document must open; it stays open while the overview is shown.
void TForm1::Button8Click() {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(
      OpenDocumentFile(session_.document.path), &std::fclose);
  if (!stream) {
    messages_.Report(kCannotOpenFile);
    return;
  }
  if (overview_ != nullptr) overview_->exec();
}

void TForm1::Button4Click() {
  const DocumentControlValues shown = ShownControls();
  switch (jobs_.Register(shown)) {
    case JobList::Registered::kNoDocument:
      return;
    case JobList::Registered::kFull:
      messages_.Report(kJobListFull);
      return;
    case JobList::Registered::kDone:
      LoadDocumentControls(ControlsAfterRegistration(shown));
      JobListChanged();
      return;
  }
}

void TForm1::Button9Click() {
  // Of a range only its top row counts.
  int top = StringGrid1->currentRow();
  const QList<QTableWidgetSelectionRange> ranges = StringGrid1->selectedRanges();
  if (!ranges.isEmpty()) {
    top = ranges.front().topRow();
    for (const QTableWidgetSelectionRange& range : ranges) top = std::min(top, range.topRow());
  }
  if (top >= 0 && jobs_.Delete(top + 1)) JobListChanged();
}

void TForm1::Button6Click() {
  const RunScope run(*this);
  PrintSeams seams = Seams();
  PrintBatch(session_, jobs_, *this, seams.controls, seams.ui, seams.messages,
             [this, &seams]() -> std::unique_ptr<ByteSink> {
               return OpenSerialLink(session_, seams.messages, seams.whileHeld);
             });
}

void TForm1::Button3Click() {
  close();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool TForm1::FormCloseQuery() {
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

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  // One run at a time: nothing can be dropped while a document is printing.
  if (!printing_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (printing_ || urls.isEmpty()) return;
  event->acceptProposedAction();
  // Only the first file is printed; the print starts once the drop itself is over, so the
  // program the file came from is not kept waiting for the whole run.
  const std::string path = FromQt(urls.front().toLocalFile());
  QTimer::singleShot(0, this, [this, path] { DropFile(path); });
}

void TForm1::DropFile(const std::string& path) {
  if (printing_) return;
  const RunScope run(*this);
  PrintSeams seams = Seams();
  DirectPrint(session_, path, /*quiet=*/false, seams);
}

}  // namespace redadado
