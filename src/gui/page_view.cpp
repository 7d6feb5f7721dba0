#include "gui/page_view.h"

#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <filesystem>
#include <tuple>

#include "base/file_paths.h"
#include "gui/qt_seams.h"
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
  return MakeCaptioned<QRadioButton>(group, name, caption, 10, top);
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

PageView::PageView(Session& session, Messages& messages, QWidget* parent)
    : QDialog(parent), session_(session), messages_(messages) {
  setObjectName("TPage1Form");
  setFont(TahomaFont(11));
  resize(581, 711);
  move(0, 0);

  std::tie(pageLabel, pageList) = MakeListRow(this, {.labelName = "Label1",
                                                     .text = "ページ ：",
                                                     .labelAt = {8, 16},
                                                     .listName = "PageCB",
                                                     .listAt = {8, 32, 65, 0},
                                                     .editable = true});

  nextPageButton = MakePageButton(this, "PUpSB", true, "ページを進めます", 8);
  previousPageButton = MakePageButton(this, "PDownSB", false, "ページを戻します", 41);

  modeGroup = MakeGroup(this, "GroupBox1", "表示", 90);
  dotsRadio = MakeRadio(modeGroup, "TenjiRB", "点字", 18);
  kanaRadio = MakeRadio(modeGroup, "SumiyakuRB", "墨訳", 39);
  dotsRadio->setChecked(true);
  paperGroup = MakeGroup(this, "GroupBox3", "サイズ", 175);
  b5Radio = MakeRadio(paperGroup, "B5RB", " Ｂ５", 18);
  a4Radio = MakeRadio(paperGroup, "A4RB", " Ａ４", 39);
  b5Radio->setChecked(true);
  orientationGroup = MakeGroup(this, "GroupBox2", "向き", 260);
  portraitRadio = MakeRadio(orientationGroup, "TateRB", " 縦", 18);
  landscapeRadio = MakeRadio(orientationGroup, "YokoRB", " 横", 39);
  portraitRadio->setChecked(true);

  closeButton = new QPushButton("閉じる", this);
  closeButton->setObjectName("Button1");
  closeButton->setToolTip("このウィンドウを閉じます");
  closeButton->setAutoDefault(false);
  Place(closeButton, 8, 347, 65, 25);

  scrollArea = new QScrollArea(this);
  scrollArea->setObjectName("ScrollBox1");
  scrollArea->setAccessibleName("ページの表示");
  Place(scrollArea, 80, 8, 494, 699);
  pageImage = new QLabel;
  pageImage->setObjectName("Image1");
  pageImage->setAccessibleName("ページの画像");
  pageImage->setFixedSize(490, 695);
  scrollArea->setWidget(pageImage);

  // Each handler runs when its choice becomes checked, by the user or by the opening.
  connect(dotsRadio, &QRadioButton::toggled, this, [this](bool on) {
    if (on) DrawSelectedPage();
  });
  connect(kanaRadio, &QRadioButton::toggled, this, [this](bool on) {
    if (on) DrawSelectedPage();
  });
  for (QRadioButton* size : {b5Radio, a4Radio, portraitRadio, landscapeRadio}) {
    connect(size, &QRadioButton::toggled, this, [this](bool on) {
      if (on) SizeChanged();
    });
  }
  connect(pageList, &QComboBox::activated, this, &PageView::pageChosen);
  connect(pageList->lineEdit(), &QLineEdit::textEdited, this, &PageView::pageTyped);
  connect(pageList->lineEdit(), &QLineEdit::editingFinished, this, [this] {
    if (pageList->findText(pageList->currentText()) < 0) pageChosen();
  });
  connect(nextPageButton, &QToolButton::clicked, this, &PageView::nextPageClicked);
  connect(previousPageButton, &QToolButton::clicked, this, &PageView::previousPageClicked);
  connect(closeButton, &QPushButton::clicked, this, &PageView::closeClicked);
  // What a keyboard user expects of a page view: Page Down the next page, Page Up the one before.
  connect(new QShortcut(QKeySequence(Qt::Key_PageDown), this), &QShortcut::activated, this,
          &PageView::nextPageClicked);
  connect(new QShortcut(QKeySequence(Qt::Key_PageUp), this), &QShortcut::activated, this,
          &PageView::previousPageClicked);

  setTabOrder(scrollArea, closeButton);
  setTabOrder(closeButton, portraitRadio);
  setTabOrder(portraitRadio, landscapeRadio);
  setTabOrder(landscapeRadio, b5Radio);
  setTabOrder(b5Radio, a4Radio);
  setTabOrder(a4Radio, dotsRadio);
  setTabOrder(dotsRadio, kanaRadio);
  setTabOrder(kanaRadio, pageList);
}

void PageView::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  Refresh();
  // The keyboard starts on the page box: the page is what the user came to choose.
  pageList->setFocus(Qt::OtherFocusReason);
}

void PageView::Refresh() {
  {
    const QSignalBlocker quiet(pageList);
    pageList->clear();
    for (int page = 1; page <= session_.document.pageCount; ++page) {
      pageList->addItem(QString::number(page));
    }
    pageList->setCurrentIndex(session_.selectedPage);
  }
  // Checking the other paper draws once through its handler.
  const int lines = session_.document.linesPerPage;
  (lines == 18 || lines == 22 ? b5Radio : a4Radio)->setChecked(true);
  DrawSelectedPage();
}

void PageView::DrawPage(int pageNumber) {
  const Size size = PageImageSize(CurrentPaper(), CurrentOrientation());
  QImage cleared(size.width, size.height, QImage::Format_RGB32);
  cleared.fill(QColor::fromRgb(kNavy));
  pageImage->setPixmap(QPixmap::fromImage(cleared));
  const std::optional<RowTable> rows =
      ReadPageRows(session_.document.path, session_.document.linesPerPage, pageNumber);
  if (!rows) {
    messages_.Report(kBseOpenFailed);
    return;
  }
  setWindowTitle(ToQt(" " + FileNameOf(session_.document.path)));
  const PageLayout layout =
      LayOutPage(*rows, session_.document.linesPerPage, pageNumber, CurrentPaper(),
                 CurrentOrientation(), kanaRadio->isChecked());
  pageImage->setPixmap(QPixmap::fromImage(redadado::DrawPage(layout)));
}

void PageView::SizeChanged() {
  const Size size = PageImageSize(CurrentPaper(), CurrentOrientation());
  pageImage->setFixedSize(size.width, size.height);
  // A turned page begins at its right-hand edge: show that, not the empty navy on the left.
  QScrollBar* across = scrollArea->horizontalScrollBar();
  across->setValue(CurrentOrientation() == Orientation::kLandscape ? across->maximum() : 0);
  DrawSelectedPage();
}

void PageView::pageChosen() {
  if (pageList->currentIndex() < 0 || pageList->findText(pageList->currentText()) < 0) {
    pageList->setCurrentIndex(0);
  }
  DrawSelectedPage();
}

// A page number typed into the box goes to that page at once; anything else waits for the end
// of the editing, which then shows the first page.
void PageView::pageTyped(const QString& text) {
  const int index = pageList->findText(text);
  if (index < 0) return;
  pageList->setCurrentIndex(index);
  DrawSelectedPage();
}

void PageView::nextPageClicked() {
  if (pageList->currentIndex() >= session_.document.pageCount - 1) return;
  pageList->setCurrentIndex(pageList->currentIndex() + 1);
  DrawSelectedPage();
}

void PageView::previousPageClicked() {
  if (pageList->currentIndex() < 1) return;
  pageList->setCurrentIndex(pageList->currentIndex() - 1);
  DrawSelectedPage();
}

void PageView::closeClicked() {
  accept();
}

void PageView::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The picture's box grows and shrinks with the window; the controls stay where they are.
  scrollArea->resize(width() - 87, height() - 12);
}

}  // namespace redadado
