#include "emboss/held_write.h"

#include <utility>

namespace redadado {

namespace {

// The waits for one held byte, or for the output to drain.
class HeldWait {
 public:
  explicit HeldWait(const HoldHandler& handler)
      : handler_(handler), since_(std::chrono::steady_clock::now()) {}
  // After each slice: false when the hold handler gives the output up.
  bool GoOn() const {
    return !handler_ || handler_(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - since_));
  }
  // The output moved: what is still pending has been held from now on.
  void Moved() { since_ = std::chrono::steady_clock::now(); }

 private:
  const HoldHandler& handler_;
  std::chrono::steady_clock::time_point since_;
};

}  // namespace

LinkFailure WriteThroughHolds(PortCalls& port, std::uint8_t byte, const HoldHandler& whileHeld) {
  const HeldWait wait(whileHeld);
  for (;;) {
    PortCalls::Write write = port.TryWrite(byte);
    if (write.failure) return {LinkFault::kFailed, std::move(*write.failure)};
    if (write.written) return {};
    // No hold reason and an empty queue prove nothing: only a failing call tells a dead link.
    if (std::optional<std::string> failure = port.CheckStatus()) {
      return {LinkFault::kFailed, std::move(*failure)};
    }
    if (!wait.GoOn()) return {LinkFault::kAbandoned, {}};
  }
}

LinkFailure DrainThroughHolds(PortCalls& port, const HoldHandler& whileHeld,
                              std::chrono::milliseconds stallLimit) {
  std::optional<std::size_t> last;
  auto progress = std::chrono::steady_clock::now();
  HeldWait wait(whileHeld);
  for (;;) {
    PortCalls::Pending pending = port.PendingOutput();
    if (pending.failure) return {LinkFault::kFailed, std::move(*pending.failure)};
    if (pending.bytes == 0) return {};
    const auto now = std::chrono::steady_clock::now();
    if (!last || pending.bytes < *last) {
      progress = now;
      wait.Moved();
    }
    if (now - progress > stallLimit) return {LinkFault::kStalled, {}};
    last = pending.bytes;
    port.WaitSlice();
    if (!wait.GoOn()) return {LinkFault::kAbandoned, {}};
  }
}

}  // namespace redadado
