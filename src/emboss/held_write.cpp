#include "emboss/held_write.h"

namespace redadado {

std::optional<std::string> WriteThroughHolds(WritePort& port, std::uint8_t byte,
                                             const HoldHandler& whileHeld) {
  const HeldWait wait(whileHeld);
  for (;;) {
    const WritePort::Write write = port.TryWrite(byte);
    if (write.failure) return write.failure;
    if (write.written) return std::nullopt;
    // No hold reason and an empty queue prove nothing: only a failing call tells a dead link.
    if (std::optional<std::string> failure = port.CheckStatus()) return failure;
    if (!wait.GoOn()) return kOutputAbandoned;
  }
}

}  // namespace redadado
