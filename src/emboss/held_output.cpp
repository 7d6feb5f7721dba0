#include "emboss/held_output.h"

#include <algorithm>

#include "emboss/serial_link.h"

namespace redadado {

std::chrono::milliseconds HeldOutputGuard::Patience(const Settings& settings) {
  constexpr std::chrono::milliseconds kLeast{10000};
  constexpr long long kBufferBits = 4096LL * 10;  // start, 8 data and stop bits a byte
  const LineParametersResult line = LineParametersFor(settings);
  if (!line.parameters || line.parameters->baudRate <= 0) return kLeast;
  return std::max(kLeast,
                  std::chrono::milliseconds(kBufferBits * 1000 / line.parameters->baudRate));
}

bool HeldOutputGuard::KeepWaiting(RunState& run, const Settings& settings,
                                  std::chrono::milliseconds held, Messages& messages) {
  if (!run.escapeRequested) {
    askedAt_.reset();
    return true;
  }
  if (askedAt_ == run.escapePresses || held < patience_.value_or(Patience(settings))) return true;
  askedAt_ = run.escapePresses;
  // No, the default, keeps waiting: an Enter pressed by habit gives nothing up.
  return !messages.ConfirmYesNoDefaultNo(kAbandonHeldQuestion);
}

}  // namespace redadado
