#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "gui/accessibility.h"
#include "gui/main_window.h"
#include "gui/resume_dialog.h"
#include "gui/settings_dialog.h"
#include "speech/recording_reader.h"
#include "support/temp_dir.h"
#include "support/window_fixture.h"

namespace redadado {
namespace {

using Calls = std::vector<std::string>;

QApplication& App() {
  return *static_cast<QApplication*>(QApplication::instance());
}

// The main window as the program entry builds it, speaking into a recording reader.
struct SpeakingWindow {
  SpeakingWindow() : session(AppPaths(dir.path())) {
    App();
    form.emplace(session, messages, chooser, routes.Routes());
    form->StartUp(std::nullopt);
    form->show();
    QApplication::setActiveWindow(&*form);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&*form));
  }
  void Choose(int choice) { session.settings.values[Settings::kScreenReader] = choice; }
  void Focus(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
  }
  static QString Name(QObject* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
  }

  test::TempDir dir;
  Session session;
  test::ScriptedMessages messages;  // every question answered Yes / OK
  test::ScriptedChooser chooser;    // every file dialog cancelled
  test::RecordingRoutes routes;
  std::optional<MainWindow> form;
};

TEST(MainWindowSpeech, RoutesOpenAtCreationNothingIsSaidUntilTheFocusMovesAndXpReaderGoesAtClose) {
  SpeakingWindow w;
  // The ＢＳＥ button takes the focus when the window shows; the choice is 0 at first.
  EXPECT_EQ(w.routes.Take(), (Calls{"pc open", "xp open"}));
  w.Choose(2);
  w.Focus(w.form->quitButton);
  EXPECT_EQ(w.routes.Take(), Calls{"xp 終了のボタン　キュー"});
  EXPECT_TRUE(w.form->close());
  EXPECT_EQ(w.routes.Take(), Calls{"xp close"});
  w.form.reset();
  EXPECT_EQ(w.routes.Take(), Calls{"pc close"});
}

TEST(MainWindowSpeech, FocusSpeaksEachControlOnceAndFieldsSayTheirText) {
  SpeakingWindow w;
  MainWindow& f = *w.form;
  for (QWidget* waiting : {f.viewButton, f.registerButton, f.deleteJobButton, f.batchPrintButton})
    waiting->setEnabled(true);
  w.Choose(1);
  w.routes.Take();
  const std::pair<QWidget*, Calls> cases[] = {
      {f.fileEdit, {"pc reset", "pc 文章ファイルを呼び出してください"}},
      {f.copiesEdit, {"pc 部数　1"}},
      {f.copiesUpDown, {"pc 部数のアップダウン"}},
      {f.startPageEdit, {"pc 開始ページ　1"}},
      {f.startPageUpDown, {"pc 開始ページのアップダウン"}},
      {f.lastPageEdit, {"pc 終了ページ　999"}},
      {f.lastPageUpDown, {"pc 終了ページのアップダウン"}},
      {f.dotKindList, {}},
      {f.viewButton, {"pc ビューのボタン　ブイ"}},
      {f.registerButton, {"pc 登録のボタン　ティー"}},
      {f.printButton, {"pc 印刷のボタン　ピー"}},
      {f.deleteJobButton, {"pc 取り消しのボタン　ディー"}},
      {f.batchPrintButton, {"pc まとめ印刷のボタン　アール"}},
      {f.settingsButton, {"pc 設定のボタン　エス"}},
      {f.selectBseButton, {"pc ＢＳＥファイル選択のボタン　ビー"}},
      {f.selectBesButton, {"pc ＢＥＳファイル選択のボタン　イー"}},
      {f.selectBesButton, {}},  // the focus stays: nothing again
  };
  for (const auto& [control, said] : cases) {
    w.Focus(control);
    EXPECT_EQ(w.routes.Take(), said) << control->objectName().toStdString();
  }
}

TEST(MainWindowSpeech, NumberFieldsSpeakEveryChangeFromTheUpDownsAndTheSystem) {
  SpeakingWindow w;
  MainWindow& f = *w.form;
  w.Choose(2);
  w.Focus(f.copiesUpDown);
  w.routes.Take();
  QTest::keyClick(f.copiesUpDown, Qt::Key_Up);
  EXPECT_EQ(w.routes.Take(), Calls{"xp 部数の変更　2"});
  w.Focus(f.startPageEdit);
  w.routes.Take();
  QTest::keyClicks(f.startPageEdit, "5");  // the focus selected the field's text: 5 replaces it
  EXPECT_EQ(w.routes.Take(), Calls{"xp 開始ページの変更　5"});
  f.ResetDocumentControls();  // the end of a run: the first page back to 1, the last stays 999
  EXPECT_EQ(w.routes.Take(), Calls{"xp 開始ページの変更　1"});
}

TEST(MainWindowSpeech, ControlsAreNamedForWhatTheyAreAndDescribedByTheirHints) {
  SpeakingWindow w;
  MainWindow& f = *w.form;
  EXPECT_EQ(w.Name(f.printButton), "印刷");
  EXPECT_EQ(w.Name(f.batchPrintButton), "まとめ印刷");
  EXPECT_EQ(w.Name(f.copiesUpDown), "部数のアップダウン");
  EXPECT_EQ(w.Name(f.fileEdit), "ファイル");
  EXPECT_EQ(w.Name(f.dotKindList), "点種");
  // A field is named by its own words, never by the label that stands for two ("範囲"), and
  // carries no label relation that a reader would follow instead.
  EXPECT_EQ(w.Name(f.startPageEdit), "開始ページ");
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(f.startPageEdit)
                  ->relations(QAccessible::Label)
                  .isEmpty());
  // An empty read-only field says so; with a text it has no such word.
  auto description = [](QWidget* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Description);
  };
  EXPECT_EQ(description(f.linesEdit), "空白");
  f.linesEdit->setText("２２行（片面）");
  EXPECT_EQ(description(f.linesEdit), "");
  EXPECT_EQ(description(f.copiesEdit), "");  // typed into, not read-only
  EXPECT_EQ(QAccessible::queryAccessibleInterface(f.settingsButton)->text(QAccessible::Description),
            "印刷その他の環境設定をおこないます");

  SettingsDialog settings(w.session);
  settings.show();
  EXPECT_EQ(w.Name(settings.baudRateList), "ボーレート");
  EXPECT_EQ(w.Name(settings.screenReaderList), "音声ガイド");
  // Each port item says where it leads, as the closed list does for the current one.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(settings.portList)
                ->child(1)
                ->text(QAccessible::Description)
                .toStdString(),
            PortDevice(w.session.paths, "COM2"));

  ResumeDialog resume(w.session);
  EXPECT_EQ(w.Name(resume.resumeRadio), "指定ページから印刷を再開する");
  EXPECT_EQ(w.Name(resume.pageUpDown), "再開ページのアップダウン");
}

// A closed combo box gives its current item as its text, which is what Orca reads.
TEST(MainWindowSpeech, ClosedComboBoxesTellTheirCurrentItem) {
  SpeakingWindow w;
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.form->dotKindList);
  ASSERT_NE(list->textInterface(), nullptr);
  EXPECT_EQ(list->role(), QAccessible::ComboBox);
  EXPECT_EQ(list->textInterface()->text(0, -1), "中点");
  w.form->dotKindList->setCurrentIndex(3);
  EXPECT_EQ(list->textInterface()->text(0, -1), "大点、２度打ち");
  EXPECT_EQ(list->textInterface()->characterCount(), 7);
  EXPECT_EQ(list->text(QAccessible::Value), "大点、２度打ち");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.form->sideList)->textInterface()->text(0, -1),
            "");  // nothing selected before a document is chosen

  // Its items are its children, the current one selected (and focused with the list), so that
  // the reader's focus can move to the item an arrow key chose (the screen-reader test).
  ASSERT_EQ(list->childCount(), 4);
  QAccessibleInterface* item = list->child(3);
  EXPECT_EQ(item->text(QAccessible::Name), "大点、２度打ち");
  EXPECT_EQ(item->role(), QAccessible::ListItem);
  EXPECT_TRUE(item->state().selected);
  EXPECT_FALSE(list->child(2)->state().selected);
  EXPECT_EQ(item->parent(), list);
  EXPECT_EQ(list->indexOfChild(item), 3);
  w.Focus(w.form->dotKindList);
  EXPECT_TRUE(item->state().focused);
}

// Enter and keypad Enter press the focused push button, as Space does; in an edit Enter changes
// nothing.
TEST(MainWindowSpeech, EnterPressesTheFocusedButtonOnly) {
  SpeakingWindow w;
  for (const Qt::KeyboardModifiers keypad : {Qt::NoModifier, Qt::KeypadModifier}) {
    w.Focus(w.form->selectBseButton);
    QTest::keyClick(w.form->selectBseButton, keypad ? Qt::Key_Enter : Qt::Key_Return, keypad);
  }
  EXPECT_EQ(w.chooser.titles.size(), 2U);
  w.Focus(w.form->copiesEdit);
  QTest::keyClick(w.form->copiesEdit, Qt::Key_Return);
  EXPECT_EQ(w.chooser.titles.size(), 2U);
  EXPECT_EQ(w.form->copiesEdit->text(), "1");
}

TEST(MainWindowSpeech, StandardButtonsReadInJapanese) {
  App();
  QTranslator translator;
  ASSERT_TRUE(LoadJapaneseQtTranslations(translator));
  QMessageBox box(QMessageBox::Question, "確認", "?",
                  QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
  box.show();
  auto name = [&box](QMessageBox::StandardButton button) {
    return QAccessible::queryAccessibleInterface(box.button(button))->text(QAccessible::Name);
  };
  EXPECT_EQ(name(QMessageBox::Ok), "OK");
  EXPECT_EQ(name(QMessageBox::Cancel), "キャンセル");
  EXPECT_EQ(name(QMessageBox::Yes), "はい");
  EXPECT_EQ(name(QMessageBox::No), "いいえ");
  QApplication::removeTranslator(&translator);
}

}  // namespace
}  // namespace redadado

// The application lives for the whole run, and goes before the statics Qt tears down at exit.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  redadado::InstallAccessibility(application);
  return RUN_ALL_TESTS();
}
