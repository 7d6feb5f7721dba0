#include "preview/Page1.h"

#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <filesystem>

#include "app/QtSeams.h"
#include "app/file_paths.h"
#include "preview/page_pictures.h"
#include "preview/row_table.h"

namespace redadado {
namespace {

// The 22 × 22 pictures of the paging buttons: a navy bar two pixels thick and twelve long, and
// for the plus sign one across it.
QIcon SignIcon(bool plus) {
  QPixmap pixmap(22, 22);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  const QColor navy = QColor::fromRgb(kNavy);
  painter.fillRect(5, 10, 12, 2, navy);
  if (plus) painter.fillRect(10, 5, 2, 12, navy);
  return QIcon(pixmap);
}

// The plus or minus speed button that steps the page.
QToolButton* MakePageButton(QWidget* parent, const char* name, bool plus, const char* hint,
                            int left) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(SignIcon(plus));
  button->setIconSize(QSize(22, 22));
  button->setAutoRaise(true);
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setFocusPolicy(Qt::NoFocus);  // speed buttons take no focus
  Place(button, left, 54, 31, 20);
  return button;
}

QRadioButton* MakeRadio(QGroupBox* group, const char* name, const char* caption, int top) {
  auto* radio = new QRadioButton(caption, group);
  radio->setObjectName(name);
  PlaceLabel(radio, 10, top);
  return radio;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* caption, int top) {
  auto* group = new QGroupBox(caption, parent);
  group->setObjectName(name);
  Place(group, 8, top, 65, 67);
  return group;
}

std::string FileNameOf(const std::string& path) {
  return Utf8FromPath(PathFromUtf8(path).filename());
}

}  // namespace

TPage1Form::TPage1Form(Session& session, Messages& messages, QWidget* parent)
    : QDialog(parent), session_(session), messages_(messages) {
  setObjectName("TPage1Form");
  setFont(TahomaFont(11));
  resize(581, 711);
  move(0, 0);

  Label1 = new QLabel("ページ ：", this);
  Label1->setObjectName("Label1");
  PlaceLabel(Label1, 8, 16);
  PageCB = new QComboBox(this);
  PageCB->setObjectName("PageCB");
  PageCB->setEditable(true);
  PageCB->setInsertPolicy(QComboBox::NoInsert);
  Place(PageCB, 8, 32, 65, PageCB->sizeHint().height());
  Label1->setBuddy(PageCB);

  PUpSB = MakePageButton(this, "PUpSB", true, "ページを進めます", 8);
  PDownSB = MakePageButton(this, "PDownSB", false, "ページを戻します", 41);

  GroupBox1 = MakeGroup(this, "GroupBox1", "表示", 90);
  TenjiRB = MakeRadio(GroupBox1, "TenjiRB", "点字", 18);
  SumiyakuRB = MakeRadio(GroupBox1, "SumiyakuRB", "墨訳", 39);
  TenjiRB->setChecked(true);
  GroupBox3 = MakeGroup(this, "GroupBox3", "サイズ", 175);
  B5RB = MakeRadio(GroupBox3, "B5RB", " Ｂ５", 18);
  A4RB = MakeRadio(GroupBox3, "A4RB", " Ａ４", 39);
  B5RB->setChecked(true);
  GroupBox2 = MakeGroup(this, "GroupBox2", "向き", 260);
  TateRB = MakeRadio(GroupBox2, "TateRB", " 縦", 18);
  YokoRB = MakeRadio(GroupBox2, "YokoRB", " 横", 39);
  TateRB->setChecked(true);

  Button1 = new QPushButton("閉じる", this);
  Button1->setObjectName("Button1");
  Button1->setToolTip("このウィンドウを閉じます");
  Button1->setAutoDefault(false);
  Place(Button1, 8, 347, 65, 25);

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName("ScrollBox1");
  Place(ScrollBox1, 80, 8, 494, 699);
  Image1 = new QLabel;
  Image1->setObjectName("Image1");
  Image1->setAccessibleName("ページの画像");
  Image1->setFixedSize(490, 695);
  ScrollBox1->setWidget(Image1);

  // Each handler runs when its choice becomes checked, by the user or by the opening.
  connect(TenjiRB, &QRadioButton::toggled, this, [this](bool on) {
    if (on) DrawSelectedPage();
  });
  connect(SumiyakuRB, &QRadioButton::toggled, this, [this](bool on) {
    if (on) DrawSelectedPage();
  });
  for (QRadioButton* size : {B5RB, A4RB, TateRB, YokoRB}) {
    connect(size, &QRadioButton::toggled, this, [this](bool on) {
      if (on) SizeChanged();
    });
  }
  connect(PageCB, &QComboBox::activated, this, &TPage1Form::PageCBChange);
  connect(PageCB->lineEdit(), &QLineEdit::textEdited, this, &TPage1Form::PageCBTyped);
  connect(PageCB->lineEdit(), &QLineEdit::editingFinished, this, [this] {
    if (PageCB->findText(PageCB->currentText()) < 0) PageCBChange();
  });
  connect(PUpSB, &QToolButton::clicked, this, &TPage1Form::PUpSBClick);
  connect(PDownSB, &QToolButton::clicked, this, &TPage1Form::PDownSBClick);
  connect(Button1, &QPushButton::clicked, this, &TPage1Form::Button1Click);
  // What a keyboard user expects of a page view: Page Down the next page, Page Up the one before.
  connect(new QShortcut(QKeySequence(Qt::Key_PageDown), this), &QShortcut::activated, this,
          &TPage1Form::PUpSBClick);
  connect(new QShortcut(QKeySequence(Qt::Key_PageUp), this), &QShortcut::activated, this,
          &TPage1Form::PDownSBClick);

  setTabOrder(ScrollBox1, Button1);
  setTabOrder(Button1, TateRB);
  setTabOrder(TateRB, YokoRB);
  setTabOrder(YokoRB, B5RB);
  setTabOrder(B5RB, A4RB);
  setTabOrder(A4RB, TenjiRB);
  setTabOrder(TenjiRB, SumiyakuRB);
  setTabOrder(SumiyakuRB, PageCB);
}

void TPage1Form::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TPage1Form::FormActivate() {
  {
    const QSignalBlocker quiet(PageCB);
    PageCB->clear();
    for (int page = 1; page <= session_.document.pageCount; ++page) {
      PageCB->addItem(QString::number(page));
    }
    PageCB->setCurrentIndex(session_.selectedPage);
  }
  // Checking the other paper draws once through its handler.
  const int lines = session_.document.linesPerPage;
  (lines == 18 || lines == 22 ? B5RB : A4RB)->setChecked(true);
  DrawSelectedPage();
}

void TPage1Form::DrawPage(int pageNumber) {
  const Size size = PageImageSize(CurrentPaper(), CurrentOrientation());
  QImage cleared(size.width, size.height, QImage::Format_RGB32);
  cleared.fill(QColor::fromRgb(kNavy));
  Image1->setPixmap(QPixmap::fromImage(cleared));
  const std::optional<RowTable> rows =
      ReadPageRows(session_.document.path, session_.document.linesPerPage, pageNumber);
  if (!rows) {
    messages_.Report(kBseOpenFailed);
    return;
  }
  setWindowTitle(ToQt(" " + FileNameOf(session_.document.path)));
  const PageLayout layout =
      LayOutPage(*rows, session_.document.linesPerPage, pageNumber, CurrentPaper(),
                 CurrentOrientation(), SumiyakuRB->isChecked(), session_.kana);
  Image1->setPixmap(QPixmap::fromImage(redadado::DrawPage(layout)));
}

void TPage1Form::SizeChanged() {
  const Size size = PageImageSize(CurrentPaper(), CurrentOrientation());
  Image1->setFixedSize(size.width, size.height);
  // A turned page begins at its right-hand edge: show that, not the empty navy on the left.
  QScrollBar* across = ScrollBox1->horizontalScrollBar();
  across->setValue(CurrentOrientation() == Orientation::kLandscape ? across->maximum() : 0);
  DrawSelectedPage();
}

void TPage1Form::PageCBChange() {
  if (PageCB->currentIndex() < 0 || PageCB->findText(PageCB->currentText()) < 0) {
    PageCB->setCurrentIndex(0);
  }
  DrawSelectedPage();
}

// A page number typed into the box goes to that page at once; anything else waits for the end
// of the editing, which then shows the first page.
void TPage1Form::PageCBTyped(const QString& text) {
  const int index = PageCB->findText(text);
  if (index < 0) return;
  PageCB->setCurrentIndex(index);
  DrawSelectedPage();
}

void TPage1Form::PUpSBClick() {
  if (PageCB->currentIndex() >= session_.document.pageCount - 1) return;
  PageCB->setCurrentIndex(PageCB->currentIndex() + 1);
  DrawSelectedPage();
}

void TPage1Form::PDownSBClick() {
  if (PageCB->currentIndex() < 1) return;
  PageCB->setCurrentIndex(PageCB->currentIndex() - 1);
  DrawSelectedPage();
}

void TPage1Form::Button1Click() {
  accept();
}

void TPage1Form::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The picture's box grows and shrinks with the window; the controls stay where they are.
  ScrollBox1->resize(width() - 87, height() - 12);
}

}  // namespace redadado
