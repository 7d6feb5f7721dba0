#include "emboss/held_output.h"

namespace redadado {

bool HeldOutputGuard::KeepWaiting(Session& session, std::chrono::milliseconds held,
                                  Messages& messages) {
  if (session.escapeRequested == 0) {
    asked_ = false;
    return true;
  }
  if (asked_ || held < kPatience) return true;
  asked_ = true;
  return !messages.ConfirmYesNo(kAbandonHeldQuestion);
}

}  // namespace redadado
