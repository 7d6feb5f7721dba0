#include "emboss/held_write.h"

namespace redadado {

LinkFailure WriteThroughHolds(WritePort& port, std::uint8_t byte, const HoldHandler& whileHeld) {
  const HeldWait wait(whileHeld);
  for (;;) {
    WritePort::Write write = port.TryWrite(byte);
    if (write.failure) return {LinkFault::kFailed, std::move(*write.failure)};
    if (write.written) return {};
    // No hold reason and an empty queue prove nothing: only a failing call tells a dead link.
    if (std::optional<std::string> failure = port.CheckStatus()) {
      return {LinkFault::kFailed, std::move(*failure)};
    }
    if (!wait.GoOn()) return {LinkFault::kAbandoned, {}};
  }
}

}  // namespace redadado
