#pragma once

#include <chrono>
#include <optional>

#include "base/messages.h"
#include "base/settings_store.h"
#include "emboss/run_state.h"

namespace redadado {

inline constexpr const char* kAbandonHeldQuestion =
    "点字プリンターがデータを受け取っていません。用紙切れ、紙詰まり、電源を確かめてください。"
    "今すぐ印刷を中止しますか？";

// An embosser that holds output for ever (out of paper, jammed, switched off without dropping
// the line) would keep a run waiting before the page ends, where Esc is taken up. Once Esc was
// pressed and one byte has waited far longer than flow control ever holds a working embosser,
// this offers to give the run up at once, and offers it again at every further Esc while the
// hold lasts.
class HeldOutputGuard {
 public:
  // How long a byte may wait, Esc pending, before the question: at least 10 s, and at least the
  // time a 4 KiB receive buffer takes to drain at the line's speed (Xon/Xoff holds that long
  // on a slow line).
  static std::chrono::milliseconds Patience(const Settings& settings);

  // For the serial link's hold handler. False when the user chose to give the run up.
  bool KeepWaiting(RunState& run, const Settings& settings, std::chrono::milliseconds held,
                   Messages& messages);

  // Replaces the patience the line's settings give (tests: an endless hold within a second).
  void SetPatience(std::chrono::milliseconds patience) { patience_ = patience; }

 private:
  std::optional<std::chrono::milliseconds> patience_;
  // The Esc press last asked about; an answer of No waits for the page's end or the next Esc.
  std::optional<unsigned> askedAt_;
};

}  // namespace redadado
