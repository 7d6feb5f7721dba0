#pragma once

namespace redadado {

// What a print run shares with the windows around it while it lasts: the key handlers set the
// escape request, the resume dialog leaves its answer.
struct RunState {
  bool escapeRequested = false;  // Esc was seen during the run
  // Every Esc press counts, so that each one can be answered anew even while the request above
  // is still pending.
  unsigned escapePresses = 0;

  // What an Esc press (or anything that stands for one) does.
  void PressEscape() {
    escapeRequested = true;
    ++escapePresses;
  }
  int resumePage = 0;  // the resume dialog's answer: 0 stop, else the page to go on from
};

}  // namespace redadado
