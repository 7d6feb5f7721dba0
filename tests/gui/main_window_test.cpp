#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "gui/qt_seams.h"
#include "gui/text_fit.h"
#include "support/window_fixture.h"

namespace redadado {
namespace {

using test::Sample;
using test::WindowFixture;

// Every control of the main window: its text, hint, place and state.
struct ControlRow {
  const char* name;
  const char* text;  // caption, edit text or current combo item
  const char* hint;
  QRect place;  // within its parent; a zero size leaves width and height unchecked
  bool enabled;
};

const ControlRow kMainWindow[] = {
    {"Label1",
     "ＢＳＥファイル、または、ＢＥＳファイルを Ｌサイズ点字で印刷します。",
     "",
     {29, 22, 0, 0},
     true},
    {"Button2", "設定(&S)", "印刷その他の環境設定をおこないます", {403, 10, 105, 25}, true},
    {"Button3", "終了(&Q)", "ＮＥＦを終了します", {528, 10, 105, 25}, true},
    {"Panel1", "", "", {8, 48, 645, 175}, true},
    {"Label3",
     "リストアップされたファイルをまとめて Ｌサイズ点字で印刷します。",
     "",
     {29, 249, 0, 0},
     true},
    {"Button9",
     "取り消し(&D)",
     "リストの中で選択された登録を削除します",
     {403, 237, 105, 25},
     true},
    {"Button6",
     "印刷(&R)",
     "リストアップされたファイルをまとめて点字印刷します",
     {528, 237, 105, 25},
     true},
    {"StringGrid1", "", "", {8, 275, 645, 175}, true},
    {"Button1", "ＢＳＥ 選択(&B)", "印刷するＢＳＥファイルを選択します", {20, 16, 105, 25}, true},
    {"Button7", "ＢＥＳ 選択(&E)", "印刷するＢＥＳファイルを選択します", {145, 16, 105, 25}, true},
    {"Button8", "ビュー(&V)", "選択されているファイルの中身を見ます", {270, 16, 105, 25}, true},
    {"Button4",
     "登録(&T)",
     "選択したファイルを、部数や範囲とともに、後で印刷するために登録します",
     {395, 16, 105, 25},
     true},
    {"Button5", "印刷(&P)", "選択されたファイルを直ちに点字印刷します", {520, 16, 105, 25}, true},
    {"FileL", "ファイル　：", "", {21, 61, 0, 0}, true},
    {"FileE", "", "", {80, 59, 545, 23}, true},
    {"Label2", "部数　：", "", {21, 97, 0, 0}, true},
    {"BusuE", "1", "", {80, 95, 41, 23}, true},
    {"BusuUD", "", "", {121, 95, 16, 23}, true},
    {"Label5", "範囲　：", "", {192, 97, 0, 0}, false},
    {"StartPE", "1", "", {256, 95, 41, 23}, true},
    {"StartPUD", "", "", {297, 95, 16, 23}, true},
    {"Label10", "～", "", {326, 99, 0, 0}, true},
    {"LastPE", "999", "", {349, 95, 41, 23}, true},
    {"LastPUD", "", "", {390, 95, 16, 23}, true},
    {"RyoumenL", "行数　：", "", {21, 133, 0, 0}, true},
    {"KataRyouE", "", "", {80, 131, 81, 21}, true},
    {"MenL", "印刷面　：", "", {192, 134, 0, 0}, false},
    {"MenCB", "", "", {256, 130, 150, 0}, true},
    {"Label4", "点種　：", "", {435, 133, 0, 0}, true},
    {"TenSizeCB", "中点", "", {488, 130, 137, 0}, true},
};

QString TextOf(const QWidget* widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (const auto* list = qobject_cast<const QComboBox*>(widget)) return list->currentText();
  return {};
}

// The controls that Tab visits, in order, from `first` round to `first`.
QStringList TabCycle(QWidget* first, const QStringList& among) {
  QStringList cycle;
  QWidget* widget = first;
  do {
    if (among.contains(widget->objectName()) && !cycle.contains(widget->objectName())) {
      cycle << widget->objectName();
    }
    widget = widget->nextInFocusChain();
  } while (widget != first);
  return cycle;
}

TEST(MainWindow, LaysOutEveryControlAsDesigned) {
  WindowFixture app;
  EXPECT_EQ(app.form.windowTitle(), QString("　Redadado　ＮＥＦ　ver.2.01    (2008.10.8)"));
  EXPECT_EQ(app.form.size(), QSize(661, 459));
  for (const ControlRow& row : kMainWindow) {
    SCOPED_TRACE(row.name);
    const auto* widget = app.form.findChild<QWidget*>(row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(TextOf(widget), QString(row.text));
    EXPECT_EQ(widget->toolTip(), QString(row.hint));
    EXPECT_EQ(widget->pos(), row.place.topLeft());
    if (row.place.width() > 0) {
      EXPECT_EQ(widget->width(), row.place.width());
    }
    if (row.place.height() > 0) {
      EXPECT_EQ(widget->height(), row.place.height());
    }
    EXPECT_EQ(widget->isEnabled(), row.enabled);
  }
  EXPECT_TRUE(app.form.fileEdit->isReadOnly());
  EXPECT_TRUE(app.form.linesEdit->isReadOnly());
  EXPECT_EQ(app.form.sideList->currentIndex(), -1);
  const QStringList sides = {"表面のみ", "裏面のみ", "表＋裏、通常の両面印刷",
                             "表＋裏、番号順片面印刷", "全ページ片面印刷"};
  const QStringList dots = {"中点", "大点", "中点、２度打ち", "大点、２度打ち"};
  for (int i = 0; i < sides.size(); ++i) EXPECT_EQ(app.form.sideList->itemText(i), sides[i]);
  for (int i = 0; i < dots.size(); ++i) EXPECT_EQ(app.form.dotKindList->itemText(i), dots[i]);
  EXPECT_FALSE(app.form.sideList->isEditable());
  EXPECT_FALSE(app.form.jobGrid->focusPolicy() & Qt::TabFocus);
  const std::tuple<UpDown*, int, int, int> ranges[] = {{app.form.copiesUpDown, 1, 100, 1},
                                                       {app.form.startPageUpDown, 1, 999, 1},
                                                       {app.form.lastPageUpDown, 1, 999, 999}};
  for (const auto& [upDown, minimum, maximum, position] : ranges) {
    EXPECT_EQ(upDown->minimum(), minimum);
    EXPECT_EQ(upDown->maximum(), maximum);
    EXPECT_EQ(upDown->Position(), position);
    EXPECT_EQ(upDown->focusPolicy(), Qt::StrongFocus);
  }
  const QStringList order = {"Button1",   "Button7",  "FileE",   "BusuE",   "BusuUD",
                             "StartPE",   "StartPUD", "LastPE",  "LastPUD", "TenSizeCB",
                             "KataRyouE", "MenCB",    "Button8", "Button4", "Button5",
                             "Button9",   "Button6",  "Button2", "Button3"};
  EXPECT_EQ(TabCycle(app.form.selectBseButton, order), order);
  EXPECT_EQ(app.form.focusWidget(), app.form.selectBseButton);
}

TEST(MainWindow, NumberFieldsKeepTheirPositionWithinRange) {
  WindowFixture app;
  QTest::keyClicks(app.form.copiesEdit, "2");  // "12"
  EXPECT_EQ(app.form.Copies(), 12);
  QTest::keyClicks(app.form.copiesEdit, "00");  // "1200": beyond the 100 copies
  EXPECT_EQ(app.form.Copies(), 100);
  app.form.copiesEdit->clear();
  QTest::keyClicks(app.form.copiesEdit, "abc");
  EXPECT_EQ(app.form.Copies(), 100);
  emit app.form.copiesEdit->editingFinished();
  EXPECT_EQ(app.form.copiesEdit->text(), QString("100"));
  app.form.startPageUpDown->setFocus();
  QTest::keyClick(app.form.startPageUpDown, Qt::Key_Up);
  EXPECT_EQ(app.form.startPageEdit->text(), QString("2"));
  EXPECT_EQ(app.form.StartPage(), 2);
  QTest::keyClick(app.form.startPageUpDown, Qt::Key_Down);
  QTest::keyClick(app.form.startPageUpDown, Qt::Key_Down);
  EXPECT_EQ(app.form.StartPage(), 1);
}

TEST(MainWindow, SelectionButtonsFillTheControlsFromTheHeader) {
  WindowFixture app;
  // 18 lines, 4 pages.
  app.chooser.answers = {Sample("taketori.bse")};
  QTest::mouseClick(app.form.selectBseButton, Qt::LeftButton);
  EXPECT_EQ(app.chooser.titles.back(), "ＢＳＥファイルの選択");
  EXPECT_EQ(app.form.fileEdit->text(), QString::fromStdString(Sample("taketori.bse")));
  EXPECT_EQ(app.form.linesEdit->text(), QString("１８行（両面）"));
  EXPECT_TRUE(app.form.sideLabel->isEnabled());
  EXPECT_EQ(app.form.sideList->currentIndex(), 2);
  EXPECT_EQ(app.form.lastPageUpDown->maximum(), 4);
  EXPECT_EQ(app.form.lastPageEdit->text(), QString("4"));
  // Cancelled: nothing changes.
  QTest::mouseClick(app.form.selectBesButton, Qt::LeftButton);
  EXPECT_EQ(app.chooser.titles.back(), "ＢＥＳファイルの選択");
  EXPECT_EQ(app.session.document.path, Sample("taketori.bse"));
  // A BES document is converted into the temporary BSE file, which becomes current.
  app.chooser.answers = {Sample("tenji.bes")};
  QTest::mouseClick(app.form.selectBesButton, Qt::LeftButton);
  EXPECT_EQ(app.form.fileEdit->text(), QString::fromStdString(Sample("tenji.bes")));
  EXPECT_EQ(app.session.document.path, app.session.paths.TemporaryBse().string());
  EXPECT_TRUE(std::filesystem::exists(app.session.paths.TemporaryBse()));
  EXPECT_EQ(app.form.lastPageUpDown->maximum(), 2);
  // 22 lines: single-sided, no side chosen.
  app.chooser.answers = {Sample("kaze.bse")};
  QTest::mouseClick(app.form.selectBseButton, Qt::LeftButton);
  EXPECT_EQ(app.form.linesEdit->text(), QString("２２行（片面）"));
  EXPECT_FALSE(app.form.sideLabel->isEnabled());
  EXPECT_EQ(app.form.sideList->currentIndex(), -1);
  // A document whose header cannot be embossed is refused; the controls stay as they were.
  const std::string bad = app.dir.Write("bad.bse", test::BseHeaderLine(3, 24)).string();
  app.chooser.answers = {bad};
  QTest::mouseClick(app.form.selectBseButton, Qt::LeftButton);
  EXPECT_EQ(app.messages.texts.back(), "確認: 行数が不適切です。ＮＥＦでは扱えません。");
  EXPECT_EQ(app.form.linesEdit->text(), QString("２２行（片面）"));
  // A BES file that cannot be read leaves the document that prints, and shows it.
  app.chooser.answers = {(app.dir / "missing.bes").string()};
  QTest::mouseClick(app.form.selectBesButton, Qt::LeftButton);
  EXPECT_EQ(app.session.document.path, bad);
  EXPECT_EQ(app.form.fileEdit->text(), QString::fromStdString(bad));
  EXPECT_EQ(app.messages.texts.back().rfind("確認: ファイルがオープンできませんでした。", 0), 0u);
}

TEST(MainWindow, ClosingSavesTheSettingsOrSaysWhyNot) {
  WindowFixture app;
  app.session.settings.values[Settings::kBaudRate] = 6;
  EXPECT_TRUE(app.form.close());
  EXPECT_TRUE(app.messages.texts.empty());
  EXPECT_EQ(test::ReadFile(app.dir / "NEF.ini"), "6 0 0 4 0 0 0");

  WindowFixture unwritable;
  std::filesystem::create_directory(unwritable.dir / "NEF.ini");  // in the file's way
  EXPECT_TRUE(unwritable.form.close());
  ASSERT_EQ(unwritable.messages.texts.size(), 1u);
  EXPECT_EQ(unwritable.messages.texts[0].rfind("確認: 設定は保存できませんでした。", 0), 0u);
}

// Quitting with the settings dialog open closes it too, saves the choice made in it, and ends
// the application's event loop; a quit refused at the jobs question leaves it open.
TEST(MainWindow, QuittingClosesEveryWindowAndEndsTheApplication) {
  WindowFixture app;
  QTest::mouseClick(app.form.settingsButton, Qt::LeftButton);
  ASSERT_TRUE(app.settings.isVisible());
  app.settings.baudRateList->setCurrentIndex(6);
  QTimer::singleShot(0, &app.form, [&] { QTest::mouseClick(app.form.quitButton, Qt::LeftButton); });
  QTimer stuck;
  QObject::connect(&stuck, &QTimer::timeout, [] { QApplication::exit(1); });
  stuck.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(app.settings.isVisible());
  EXPECT_FALSE(app.form.isVisible());
  EXPECT_EQ(test::ReadFile(app.dir / "NEF.ini"), "6 0 0 4 0 0 0");
}

TEST(MainWindow, StartsWithTheA4NoticeOnlyWithoutADocument) {
  WindowFixture app;
  app.form.StartUp(std::nullopt);
  EXPECT_EQ(app.messages.texts,
            std::vector<std::string>{
                "ＮＥＦからお知らせ: ＮＥＦは Ａ４（１０×１１インチ）用紙に印字します。"
                "Ａ４用紙をセットし、そのようにプリンタを設定してください。"});
  WindowFixture refused;
  refused.form.StartUp("notes.txt");
  EXPECT_EQ(refused.messages.texts,
            std::vector<std::string>{"確認: ＮＥＦで扱えるファイルではありません。"});
}

TEST(SettingsDialog, ShowsTheSettingsAndStoresEachChoiceAtOnce) {
  WindowFixture app;
  SettingsDialog& dialog = app.settings;
  EXPECT_EQ(dialog.windowTitle(), QString("　設定"));
  EXPECT_EQ(dialog.size(), QSize(364, 191));
  QTest::mouseClick(app.form.settingsButton, Qt::LeftButton);
  ASSERT_TRUE(dialog.isVisible());
  const std::pair<QComboBox*, const char*> shown[] = {{dialog.portList, "ＣＯＭ１"},
                                                      {dialog.baudRateList, "１２００"},
                                                      {dialog.flowControlList, "Ｘｏｎ／Ｘｏｆｆ"},
                                                      {dialog.dataBitsList, "８"},
                                                      {dialog.stopBitsList, "１"},
                                                      {dialog.parityList, "Ｎｏｎｅ"},
                                                      {dialog.screenReaderList, "使用しない"}};
  app.session.settings.values = Settings::Defaults();
  dialog.hide();
  dialog.show();
  for (const auto& [list, text] : shown) {
    EXPECT_EQ(list->currentText(), QString(text)) << list->objectName().toStdString();
    EXPECT_FALSE(list->isEditable());
  }
  EXPECT_EQ(dialog.baudRateList->count(), 15);
  EXPECT_EQ(dialog.baudRateList->itemText(14), QString("２５６０００"));
  // Where COM1 leads today: no link in the application directory, so the first serial port.
  EXPECT_EQ(dialog.portList->itemData(0, Qt::ToolTipRole).toString(), QString("/dev/ttyS0"));

  dialog.baudRateList->setCurrentIndex(6);  // ９６００
  dialog.screenReaderList->setCurrentIndex(1);
  EXPECT_EQ(app.session.settings.baudRateIndex(), 6);
  EXPECT_EQ(app.session.settings.screenReaderChoice(), 1);
  dialog.close();  // the close box only hides it
  EXPECT_EQ(app.session.settings.baudRateIndex(), 6);
  // The settings button while the dialog is shown does not reload the lists.
  dialog.show();
  app.session.settings.values[Settings::kBaudRate] = 3;
  QTest::mouseClick(app.form.settingsButton, Qt::LeftButton);
  EXPECT_EQ(dialog.baudRateList->currentText(), QString("９６００"));
  QTest::mouseClick(dialog.okButton, Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  const QStringList order = {"PortCB",    "BorateCB", "FlowCB",      "BitchoCB",
                             "StopbitCB", "ParityCB", "OnseiSoftCB", "Button1"};
  QStringList cycle;
  for (QWidget* widget = dialog.portList; cycle.size() < order.size();
       widget = widget->nextInFocusChain()) {
    if (order.contains(widget->objectName())) cycle << widget->objectName();
  }
  EXPECT_EQ(cycle, order);
}

TEST(PrintWindows, AreLaidOutAsDesigned) {
  WindowFixture app;
  EXPECT_EQ(app.escape.windowTitle(), QString("　お知らせ"));
  EXPECT_EQ(app.escape.size(), QSize(325, 63));
  EXPECT_EQ(app.escape.messageLabel->text(),
            QString("エスケープキーを検出しました。しばらくお待ちください。"));
  EXPECT_EQ(app.progress.windowTitle(), QString("　印刷情報"));
  EXPECT_EQ(app.progress.size(), QSize(504, 80));
  EXPECT_EQ(app.progress.escapeHintLabel->text(), QString("ＥＳＣキーで中断できます。"));
  // A long path fits by losing its middle, its start and the page at its end shown; the whole
  // text stays the tooltip, and is what a screen reader reads once told.
  const QString progress =
      "現在、/home/user/とても長いフォルダーの名前がここに続きます/"
      "さらに長い名前のフォルダー/taketori.bse の 1 部目、12 ページ目を送信中です。";
  app.progress.SetProgressText(progress);
  const QLabel* label = app.progress.progressLabel;
  EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
  EXPECT_TRUE(label->text().startsWith("現在、/home")) << label->text().toStdString();
  EXPECT_TRUE(label->text().endsWith("12 ページ目を送信中です。")) << label->text().toStdString();
  EXPECT_EQ(label->toolTip(), progress);
  app.progress.TellReader(progress, progress);
  EXPECT_EQ(label->accessibleName(), progress);
  EXPECT_EQ(app.resume.windowTitle(), QString("　印刷の再開・中断"));
  EXPECT_EQ(app.resume.size(), QSize(403, 138));
  EXPECT_EQ(app.resume.resumeRadio->text(), QString("指定ページから印刷を再開する ----"));
  EXPECT_EQ(app.resume.stopRadio->text(), QString("印刷を中止する"));
  EXPECT_TRUE(app.resume.pageEdit->isReadOnly());
  EXPECT_EQ(app.resume.pageLabel->text(), QString("ページから"));
  EXPECT_EQ(app.resume.okButton->text(), QString("ＯＫ"));
  // Esc in the progress window or in the main window asks for an interruption; other keys
  // do not, and the key still reaches the focused control.
  QTest::keyClick(&app.progress, Qt::Key_A);
  EXPECT_EQ(app.session.run.escapeRequested, 0);
  QTest::keyClick(&app.progress, Qt::Key_Escape);
  EXPECT_EQ(app.session.run.escapeRequested, 1);
  app.session.run.escapeRequested = 0;
  QTest::keyClick(app.form.copiesEdit, Qt::Key_Escape);
  EXPECT_EQ(app.session.run.escapeRequested, 1);
}

TEST(PrintWindows, ResumeDialogPreselectsStoppingAndKeepsItsPageWithinLimits) {
  WindowFixture app;
  ResumeDialog& dialog = app.resume;
  const auto answer = [&](bool resume, int ups) {
    QTimer::singleShot(0, &dialog, [&dialog, resume, ups] {
      EXPECT_TRUE(dialog.stopRadio->isChecked());
      EXPECT_EQ(dialog.pageEdit->text(), QString("1"));
      if (resume) dialog.resumeRadio->setChecked(true);
      for (int i = 0; i < ups; ++i) dialog.pageUpDown->stepUp();
      QTest::mouseClick(dialog.okButton, Qt::LeftButton);
    });
  };
  dialog.SetPageLimit(3);
  answer(true, 5);
  dialog.exec();
  EXPECT_EQ(app.session.run.resumePage, 3);
  answer(false, 1);
  dialog.exec();
  EXPECT_EQ(app.session.run.resumePage, 0);
  // The close box leaves the last answer.
  app.session.run.resumePage = 2;
  QTimer::singleShot(0, &dialog, [&dialog] { dialog.reject(); });
  dialog.exec();
  EXPECT_EQ(app.session.run.resumePage, 2);
}

// Lines end only where a sentence, a clause, a path separator or a blank allows it.
TEST(TextFit, LinesBreakBetweenWordsAndPathsKeepTheirNames) {
  const QFontMetrics metrics(GothicFont(12));
  const int em = metrics.horizontalAdvance(QString("あ"));
  const struct {
    QString text;
    int widthInEms;
    QString lines;
  } cases[] = {
      {kCannotQuitWhilePrinting, 30,
       "印刷中は終了できません。\nＥＳＣキーで印刷を中断してから終了してください。"},
      {kCannotQuitWhilePrinting, 60, kCannotQuitWhilePrinting},
      {"設定は保存できませんでした。\n/a/NEF.ini: 見つかりません", 40,
       "設定は保存できませんでした。\n/a/NEF.ini: 見つかりません"},
      {"/long/folder/name/doc.bse", 4, "/long/\nfolder/\nname/\ndoc.bse"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BreakLines(c.text, metrics, c.widthInEms * em), c.lines) << c.text.toStdString();
  }

  const QString path = "/home/user/とても長いフォルダーの名前/もう一つのフォルダー/taketori.bse";
  for (const int width : {metrics.horizontalAdvance(path), 260, 200}) {
    const QString shown = ElidedPath(path, metrics, width);
    EXPECT_LE(metrics.horizontalAdvance(shown), width);
    EXPECT_TRUE(shown.endsWith("/taketori.bse")) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("/home")) << shown.toStdString();
  }
  EXPECT_EQ(ElidedPath(path, metrics, metrics.horizontalAdvance(path)), path);
}

// A real message box: a dialog's frame with a close box only, the text broken between
// sentences, and No the default of a question that Enter must not answer Yes.
TEST(QtMessages, ADialogsFrameWholeWordsAndNoAsTheDefault) {
  const struct {
    MessageButtons buttons;
    MessageAnswer onEnter;
  } cases[] = {
      {MessageButtons::kYesNoDefaultNo, MessageAnswer::kNo},
      {MessageButtons::kOk, MessageAnswer::kOk},
  };
  for (const auto& c : cases) {
    const DialogOwner owner;
    QtMessages messages(owner);
    Qt::WindowFlags flags;
    QString text;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      flags = box->windowFlags();
      text = box->text();
      QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(
        messages.Show(kConfirmCaption, kCannotQuitWhilePrinting, MessageIcon::kQuestion, c.buttons),
        c.onEnter);
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    // Whole sentences on each line, however wide the box's font makes them.
    EXPECT_EQ(QString(text).remove('\n'), QString(kCannotQuitWhilePrinting));
    for (const QString& line : text.split('\n'))
      EXPECT_TRUE(line.endsWith("。")) << line.toStdString();
  }
}

}  // namespace
}  // namespace redadado
