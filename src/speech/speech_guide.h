#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/settings_store.h"

namespace redadado {

// The main window's controls that speak when they gain the focus or, for the three number
// fields, when their text changes.
enum class SpeakingControl {
  kButton1,  // ＢＳＥ 選択
  kButton7,  // ＢＥＳ 選択
  kButton8,  // ビュー
  kButton4,  // 登録
  kButton5,  // 印刷
  kButton2,  // 設定
  kButton3,  // 終了
  kButton9,  // 取り消し
  kButton6,  // まとめ印刷
  kBusuE,
  kStartPE,
  kLastPE,
  kBusuUD,
  kStartPUD,
  kLastPUD,
  kFileE,
};
inline constexpr std::size_t kSpeakingControlCount = 16;

enum class SpeechEvent { kEnter, kChange };

// What the guide says for one control.
struct ControlSpeech {
  SpeakingControl control;
  std::string_view name;    // the function words: the control's accessible name
  std::string_view enter;   // on gaining the focus; a number field's text follows it
  std::string_view change;  // on a text change, followed by the text; empty: no announcement
};

// The table of every speaking control, in the order of `SpeakingControl`.
const std::array<ControlSpeech, kSpeakingControlCount>& SpeechTable();
const ControlSpeech& SpeechFor(SpeakingControl control);

// `fileEdit` says its path, or this when it is empty.
inline constexpr std::string_view kNoDocumentText = "文章ファイルを呼び出してください";

// One route to a screen reader. Texts are UTF-8; a bridge converts them at its own boundary.
class Reader {
 public:
  virtual ~Reader() = default;
  virtual void Speak(const std::string& text) = 0;
  // Silences what the reader is saying; a reader that has no such call ignores it.
  virtual void Reset() = 0;
};

// Opens the two routes. Each returns a reader even when its library is missing: that reader
// stays silent, and nothing retries the load.
struct ReaderRoutes {
  std::function<std::unique_ptr<Reader>()> openPcTalker;
  std::function<std::unique_ptr<Reader>()> openXpReader;
  // Where the system has one (UI Automation on Windows): a route that hears every announcement
  // whatever the choice, for the screen readers that listen there (NVDA, JAWS, Narrator).
  std::function<std::unique_ptr<Reader>()> openNotifications = {};
};

// The platform's routes: PC-Talker and XP Reader libraries on Windows, speech-dispatcher
// elsewhere.
ReaderRoutes PlatformReaderRoutes();

// The main window's speech guide. It reads the screen-reader choice at every announcement:
// 1 speaks through the PC-Talker route, 2 through the XP Reader route, anything else is silent.
class SpeechGuide {
 public:
  // Opens the PC-Talker route at once, whatever the choice; it stays open as long as the guide.
  SpeechGuide(const Settings& settings, ReaderRoutes routes);
  SpeechGuide(const SpeechGuide&) = delete;
  SpeechGuide& operator=(const SpeechGuide&) = delete;
  ~SpeechGuide();

  // After the settings are read: opens the XP Reader route, whatever the choice.
  void OpenXpReader();
  // When the window's close goes ahead: nothing goes through XP Reader after this.
  void ReleaseXpReader();

  // A window event with the control's current text (ignored for buttons and up-downs). A change
  // that leaves a number field's text as the guide last saw it says nothing.
  void Notice(SpeakingControl control, SpeechEvent event, std::string_view text);

  // Says one text through the chosen reader, and raises it as a notification.
  void Announce(const std::string& text);
  // Raises a text as a notification only: what another window shows (a print's progress), which
  // the two readers' guide never says.
  void Notify(const std::string& text);

 private:
  void AnnounceFile(std::string_view path);

  const Settings& settings_;
  ReaderRoutes routes_;
  std::unique_ptr<Reader> pcTalker_;
  std::unique_ptr<Reader> xpReader_;
  std::unique_ptr<Reader> notifications_;
  std::array<std::optional<std::string>, kSpeakingControlCount> lastText_;
};

}  // namespace redadado
