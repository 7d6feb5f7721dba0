#include "speech/speech_guide.h"

#include <utility>

namespace redadado {

namespace {

using enum SpeakingControl;

constexpr std::array<ControlSpeech, kSpeakingControlCount> kTable{{
    {kButton1, "ＢＳＥファイル選択", "ＢＳＥファイル選択のボタン　ビー", ""},
    {kButton7, "ＢＥＳファイル選択", "ＢＥＳファイル選択のボタン　イー", ""},
    {kButton8, "ビュー", "ビューのボタン　ブイ", ""},
    {kButton4, "登録", "登録のボタン　ティー", ""},
    {kButton5, "印刷", "印刷のボタン　ピー", ""},
    {kButton2, "設定", "設定のボタン　エス", ""},
    {kButton3, "終了", "終了のボタン　キュー", ""},
    {kButton9, "取り消し", "取り消しのボタン　ディー", ""},
    {kButton6, "まとめ印刷", "まとめ印刷のボタン　アール", ""},
    {kBusuE, "部数", "部数　", "部数の変更　"},
    {kStartPE, "開始ページ", "開始ページ　", "開始ページの変更　"},
    {kLastPE, "終了ページ", "終了ページ　", "終了ページの変更　"},
    {kBusuUD, "部数のアップダウン", "部数のアップダウン", ""},
    {kStartPUD, "開始ページのアップダウン", "開始ページのアップダウン", ""},
    {kLastPUD, "終了ページのアップダウン", "終了ページのアップダウン", ""},
    {kFileE, "ファイル", "", ""},
}};

constexpr bool TableFollowsTheEnum() {
  for (std::size_t i = 0; i < kTable.size(); ++i) {
    if (static_cast<std::size_t>(kTable[i].control) != i) return false;
  }
  return true;
}
static_assert(TableFollowsTheEnum());

}  // namespace

const std::array<ControlSpeech, kSpeakingControlCount>& SpeechTable() {
  return kTable;
}

const ControlSpeech& SpeechFor(SpeakingControl control) {
  return kTable[static_cast<std::size_t>(control)];
}

SpeechGuide::SpeechGuide(const Settings& settings, ReaderRoutes routes)
    : settings_(settings), routes_(std::move(routes)), pcTalker_(routes_.openPcTalker()) {
  if (routes_.openNotifications) notifications_ = routes_.openNotifications();
}

SpeechGuide::~SpeechGuide() = default;

void SpeechGuide::OpenXpReader() {
  xpReader_ = routes_.openXpReader();
}

void SpeechGuide::ReleaseXpReader() {
  xpReader_.reset();
}

void SpeechGuide::Notice(SpeakingControl control, SpeechEvent event, std::string_view text) {
  const ControlSpeech& speech = SpeechFor(control);
  if (control == kFileE) {
    if (event == SpeechEvent::kEnter) AnnounceFile(text);
    return;
  }
  if (speech.change.empty()) {  // buttons and up-downs say the same thing at every focus
    if (event == SpeechEvent::kEnter) Announce(std::string(speech.enter));
    return;
  }
  std::optional<std::string>& last = lastText_[static_cast<std::size_t>(control)];
  const bool changed = last != text;
  last = std::string(text);
  if (event == SpeechEvent::kEnter) {
    Announce(std::string(speech.enter) + std::string(text));
  } else if (changed) {
    Announce(std::string(speech.change) + std::string(text));
  }
}

void SpeechGuide::Announce(const std::string& text) {
  if (notifications_) notifications_->Speak(text);
  switch (settings_.screenReaderChoice()) {
    case 1:
      if (pcTalker_) pcTalker_->Speak(text);
      break;
    case 2:
      if (xpReader_) xpReader_->Speak(text);
      break;
    default:
      break;
  }
}

void SpeechGuide::Notify(const std::string& text) {
  if (notifications_) notifications_->Speak(text);
}

// The file field alone silences PC-Talker before it speaks, so a long path starts afresh.
void SpeechGuide::AnnounceFile(std::string_view path) {
  const std::string text(path.empty() ? kNoDocumentText : path);
  if (settings_.screenReaderChoice() == 1 && pcTalker_) pcTalker_->Reset();
  Announce(text);
}

}  // namespace redadado
