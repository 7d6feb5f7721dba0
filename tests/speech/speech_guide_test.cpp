#include "speech/speech_guide.h"

#include <gtest/gtest.h>

#include "speech/recording_reader.h"

namespace redadado {
namespace {

using enum SpeakingControl;
using Calls = std::vector<std::string>;

struct Guide {
  Guide() : guide(settings, routes.Routes()) {
    guide.OpenXpReader();
    routes.Take();
  }
  void Choose(int choice) { settings.values[Settings::kScreenReader] = choice; }

  Settings settings;
  test::RecordingRoutes routes;
  SpeechGuide guide;
};

// What each control says on gaining the focus, with its field's text where it has one.
TEST(SpeechGuide, EveryControlSaysItsTextThroughTheChosenReader) {
  struct Case {
    SpeakingControl control;
    const char* field;
    const char* said;
  } cases[] = {
      {kButton1, "", "ＢＳＥファイル選択のボタン　ビー"},
      {kButton7, "", "ＢＥＳファイル選択のボタン　イー"},
      {kButton8, "", "ビューのボタン　ブイ"},
      {kButton4, "", "登録のボタン　ティー"},
      {kButton5, "", "印刷のボタン　ピー"},
      {kButton2, "", "設定のボタン　エス"},
      {kButton3, "", "終了のボタン　キュー"},
      {kButton9, "", "取り消しのボタン　ディー"},
      {kButton6, "", "まとめ印刷のボタン　アール"},
      {kBusuE, "3", "部数　3"},
      {kStartPE, "1", "開始ページ　1"},
      {kLastPE, "999", "終了ページ　999"},
      {kBusuUD, "", "部数のアップダウン"},
      {kStartPUD, "", "開始ページのアップダウン"},
      {kLastPUD, "", "終了ページのアップダウン"},
  };
  Guide g;
  for (const Case& c : cases) {
    for (int choice : {0, 1, 2, 3, -1}) {
      g.Choose(choice);
      g.guide.Notice(c.control, SpeechEvent::kEnter, c.field);
      const Calls expected = choice == 1   ? Calls{std::string("pc ") + c.said}
                             : choice == 2 ? Calls{std::string("xp ") + c.said}
                                           : Calls{};
      EXPECT_EQ(g.routes.Take(), expected) << c.said << " choice " << choice;
    }
  }
}

TEST(SpeechGuide, FileFieldResetsPcTalkerFirstAndAsksForADocumentWhenEmpty) {
  Guide g;
  g.Choose(1);
  g.guide.Notice(kFileE, SpeechEvent::kEnter, "");
  EXPECT_EQ(g.routes.Take(), (Calls{"pc reset", "pc 文章ファイルを呼び出してください"}));
  g.Choose(2);
  g.guide.Notice(kFileE, SpeechEvent::kEnter, "/home/ユーザー/竹取.bse");
  EXPECT_EQ(g.routes.Take(), (Calls{"xp /home/ユーザー/竹取.bse"}));
  g.Choose(0);
  g.guide.Notice(kFileE, SpeechEvent::kEnter, "");
  g.guide.Notice(kFileE, SpeechEvent::kChange, "a.bse");
  EXPECT_EQ(g.routes.Take(), Calls{});
}

// Typing, the up-downs and the system's own resets all reach the guide as changes of the text.
TEST(SpeechGuide, NumberFieldsSayEveryChangeButNotAnUnchangedValue) {
  Guide g;
  g.Choose(2);
  g.guide.Notice(kBusuE, SpeechEvent::kEnter, "1");
  g.guide.Notice(kBusuE, SpeechEvent::kChange, "2");
  g.guide.Notice(kBusuE, SpeechEvent::kChange, "2");
  g.guide.Notice(kBusuE, SpeechEvent::kChange, "");
  g.guide.Notice(kBusuE, SpeechEvent::kChange, "3");
  g.guide.Notice(kStartPE, SpeechEvent::kChange, "5");
  g.guide.Notice(kLastPE, SpeechEvent::kChange, "12");
  g.guide.Notice(kBusuE, SpeechEvent::kChange, "1");  // the reset after a registration
  g.guide.Notice(kStartPE, SpeechEvent::kChange, "5");
  g.guide.Notice(kButton5, SpeechEvent::kChange, "印刷");
  EXPECT_EQ(g.routes.Take(),
            (Calls{"xp 部数　1", "xp 部数の変更　2", "xp 部数の変更　", "xp 部数の変更　3",
                   "xp 開始ページの変更　5", "xp 終了ページの変更　12", "xp 部数の変更　1"}));
}

TEST(SpeechGuide, EveryAnnouncementReadsTheChoiceAnew) {
  Guide g;
  g.Choose(1);
  g.guide.Notice(kButton2, SpeechEvent::kEnter, "");
  g.Choose(2);
  g.guide.Notice(kButton2, SpeechEvent::kEnter, "");
  g.Choose(0);
  g.guide.Notice(kButton2, SpeechEvent::kEnter, "");
  EXPECT_EQ(g.routes.Take(), (Calls{"pc 設定のボタン　エス", "xp 設定のボタン　エス"}));
}

TEST(SpeechGuide, RoutesOpenWhateverTheChoiceAndXpReaderIsReleasedAtClose) {
  Settings settings;  // choice 0
  test::RecordingRoutes routes;
  {
    SpeechGuide guide(settings, routes.Routes());
    EXPECT_EQ(routes.Take(), Calls{"pc open"});
    guide.OpenXpReader();
    EXPECT_EQ(routes.Take(), Calls{"xp open"});
    guide.ReleaseXpReader();
    EXPECT_EQ(routes.Take(), Calls{"xp close"});
    settings.values[Settings::kScreenReader] = 2;
    guide.Notice(kButton3, SpeechEvent::kEnter, "");  // XP Reader is gone: nothing is said
    settings.values[Settings::kScreenReader] = 1;
    guide.Notice(kButton3, SpeechEvent::kEnter, "");
    EXPECT_EQ(routes.Take(), Calls{"pc 終了のボタン　キュー"});
  }
  EXPECT_EQ(routes.Take(), Calls{"pc close"});
}

// Screen readers that listen to the system's notifications hear every text, whatever the choice,
// and before the chosen reader does.
TEST(SpeechGuide, TheNotificationRouteHearsEveryAnnouncement) {
  Settings settings;
  test::RecordingRoutes routes;
  {
    SpeechGuide guide(settings, routes.RoutesWithNotifications());
    guide.OpenXpReader();
    EXPECT_EQ(routes.Take(), (Calls{"pc open", "ua open", "xp open"}));
    for (int choice : {0, 1, 2}) {
      settings.values[Settings::kScreenReader] = choice;
      guide.Notice(kFileE, SpeechEvent::kEnter, "");
      guide.Notice(kLastPE, SpeechEvent::kChange, std::to_string(choice + 5));
    }
    EXPECT_EQ(routes.Take(),
              (Calls{"ua 文章ファイルを呼び出してください", "ua 終了ページの変更　5", "pc reset",
                     "ua 文章ファイルを呼び出してください", "pc 文章ファイルを呼び出してください",
                     "ua 終了ページの変更　6", "pc 終了ページの変更　6",
                     "ua 文章ファイルを呼び出してください", "xp 文章ファイルを呼び出してください",
                     "ua 終了ページの変更　7", "xp 終了ページの変更　7"}));
    // What another window shows goes to the notifications alone.
    guide.Notify("現在、竹取 の 1 部目、3 ページ目を送信中です。");
    EXPECT_EQ(routes.Take(), Calls{"ua 現在、竹取 の 1 部目、3 ページ目を送信中です。"});
  }
  EXPECT_EQ(routes.Take(), (Calls{"ua close", "xp close", "pc close"}));
}

TEST(SpeechGuide, NamesAreTheFunctionWordsAndTellThePrintButtonsApart) {
  EXPECT_EQ(SpeechFor(kButton5).name, "印刷");
  EXPECT_EQ(SpeechFor(kButton6).name, "まとめ印刷");
  EXPECT_EQ(SpeechFor(kBusuUD).name, "部数のアップダウン");
  for (const ControlSpeech& speech : SpeechTable()) {
    EXPECT_FALSE(speech.name.empty());
    EXPECT_EQ(speech.name.find("ボタン"), std::string_view::npos) << speech.name;
  }
}

}  // namespace
}  // namespace redadado
