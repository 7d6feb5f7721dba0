#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "app/Nefmain.h"
#include "app/Settei.h"
#include "emboss/Lpsaikai.h"
#include "speech/Accessibility.h"
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
struct MainWindow {
  MainWindow() : session(AppPaths(dir.path())) {
    App();
    form.emplace(session, messages, chooser, routes.Routes());
    form->FormCreate(std::nullopt);
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
  std::optional<TForm1> form;
};

TEST(MainWindowSpeech, RoutesOpenAtCreationNothingIsSaidUntilTheFocusMovesAndXpReaderGoesAtClose) {
  MainWindow w;
  // Button1 takes the focus when the window shows; the choice is 0 at first.
  EXPECT_EQ(w.routes.Take(), (Calls{"pc open", "xp open"}));
  w.Choose(2);
  w.Focus(w.form->Button3);
  EXPECT_EQ(w.routes.Take(), Calls{"xp 終了のボタン　キュー"});
  EXPECT_TRUE(w.form->close());
  EXPECT_EQ(w.routes.Take(), Calls{"xp close"});
  w.form.reset();
  EXPECT_EQ(w.routes.Take(), Calls{"pc close"});
}

TEST(MainWindowSpeech, FocusSpeaksEachControlOnceAndFieldsSayTheirText) {
  MainWindow w;
  TForm1& f = *w.form;
  for (QWidget* waiting : {f.Button8, f.Button4, f.Button9, f.Button6}) waiting->setEnabled(true);
  w.Choose(1);
  w.routes.Take();
  const std::pair<QWidget*, Calls> cases[] = {
      {f.FileE, {"pc reset", "pc 文章ファイルを呼び出してください"}},
      {f.BusuE, {"pc 部数　1"}},
      {f.BusuUD, {"pc 部数のアップダウン"}},
      {f.StartPE, {"pc 開始ページ　1"}},
      {f.StartPUD, {"pc 開始ページのアップダウン"}},
      {f.LastPE, {"pc 終了ページ　999"}},
      {f.LastPUD, {"pc 終了ページのアップダウン"}},
      {f.TenSizeCB, {}},
      {f.Button8, {"pc ビューのボタン　ブイ"}},
      {f.Button4, {"pc 登録のボタン　ティー"}},
      {f.Button5, {"pc 印刷のボタン　ピー"}},
      {f.Button9, {"pc 取り消しのボタン　ディー"}},
      {f.Button6, {"pc まとめ印刷のボタン　アール"}},
      {f.Button2, {"pc 設定のボタン　エス"}},
      {f.Button1, {"pc ＢＳＥファイル選択のボタン　ビー"}},
      {f.Button7, {"pc ＢＥＳファイル選択のボタン　イー"}},
      {f.Button7, {}},  // the focus stays: nothing again
  };
  for (const auto& [control, said] : cases) {
    w.Focus(control);
    EXPECT_EQ(w.routes.Take(), said) << control->objectName().toStdString();
  }
}

TEST(MainWindowSpeech, NumberFieldsSpeakEveryChangeFromTheUpDownsAndTheSystem) {
  MainWindow w;
  TForm1& f = *w.form;
  w.Choose(2);
  w.Focus(f.BusuUD);
  w.routes.Take();
  QTest::keyClick(f.BusuUD, Qt::Key_Up);
  EXPECT_EQ(w.routes.Take(), Calls{"xp 部数の変更　2"});
  w.Focus(f.StartPE);
  w.routes.Take();
  QTest::keyClicks(f.StartPE, "5");  // the focus selected the field's text: 5 replaces it
  EXPECT_EQ(w.routes.Take(), Calls{"xp 開始ページの変更　5"});
  f.ResetDocumentControls();  // the end of a run: the first page back to 1, the last stays 999
  EXPECT_EQ(w.routes.Take(), Calls{"xp 開始ページの変更　1"});
}

TEST(MainWindowSpeech, ControlsAreNamedForWhatTheyAreAndDescribedByTheirHints) {
  MainWindow w;
  TForm1& f = *w.form;
  EXPECT_EQ(w.Name(f.Button5), "印刷");
  EXPECT_EQ(w.Name(f.Button6), "まとめ印刷");
  EXPECT_EQ(w.Name(f.BusuUD), "部数のアップダウン");
  EXPECT_EQ(w.Name(f.FileE), "ファイル");
  EXPECT_EQ(w.Name(f.TenSizeCB), "点種");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(f.Button2)->text(QAccessible::Description),
            "印刷その他の環境設定をおこないます");

  TSetteiForm settings(w.session);
  settings.show();
  EXPECT_EQ(w.Name(settings.BorateCB), "ボーレート");
  EXPECT_EQ(w.Name(settings.OnseiSoftCB), "音声ガイド");
  // Each port item says where it leads, as the closed list does for the current one.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(settings.PortCB)
                ->child(1)
                ->text(QAccessible::Description)
                .toStdString(),
            PortDevice(w.session.paths, "COM2"));

  TLP_SaikaiForm resume(w.session);
  EXPECT_EQ(w.Name(resume.SaikaiRB), "指定ページから印刷を再開する");
  EXPECT_EQ(w.Name(resume.SaikaiUD), "再開ページのアップダウン");
}

// A closed combo box gives its current item as its text, which is what Orca reads.
TEST(MainWindowSpeech, ClosedComboBoxesTellTheirCurrentItem) {
  MainWindow w;
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.form->TenSizeCB);
  ASSERT_NE(list->textInterface(), nullptr);
  EXPECT_EQ(list->role(), QAccessible::ComboBox);
  EXPECT_EQ(list->textInterface()->text(0, -1), "中点");
  w.form->TenSizeCB->setCurrentIndex(3);
  EXPECT_EQ(list->textInterface()->text(0, -1), "大点、２度打ち");
  EXPECT_EQ(list->textInterface()->characterCount(), 7);
  EXPECT_EQ(list->text(QAccessible::Value), "大点、２度打ち");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.form->MenCB)->textInterface()->text(0, -1),
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
  w.Focus(w.form->TenSizeCB);
  EXPECT_TRUE(item->state().focused);
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
