#pragma once

#include <chrono>

#include "app/messages.h"
#include "app/session.h"

namespace redadado {

inline constexpr const char* kAbandonHeldQuestion =
    "点字プリンターがデータを受け取っていません。用紙切れ、紙詰まり、電源を確かめてください。"
    "今すぐ印刷を中止しますか？";

// An embosser that holds output for ever (out of paper, jammed, switched off without dropping
// the line) would keep a run waiting before the page ends, where Esc is taken up. Once Esc was
// pressed and output has been held for a while, this offers to give the run up at once.
class HeldOutputGuard {
 public:
  // How long a byte waits, Esc pending, before the question.
  static constexpr std::chrono::milliseconds kPatience{2000};

  // For the serial link's hold handler. False when the user chose to give the run up.
  bool KeepWaiting(Session& session, std::chrono::milliseconds held, Messages& messages);

 private:
  bool asked_ = false;  // for the Esc now pending; an answer of No waits for the page's end
};

}  // namespace redadado
