#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "emboss/print_seams.h"

namespace redadado {

// Runs between the short waits while output is held (Xoff, a full buffer), with how long the
// byte in hand has been waiting; it pumps events. False gives the output up: the byte fails as
// LinkFault::kAbandoned.
using HoldHandler = std::function<bool(std::chrono::milliseconds held)>;

// The operating system's calls behind a serial port, one slice at a time, so that both systems
// share one write loop and one drain loop, and so that the decision between a held line and a
// dead one can be driven with scripted port states: no emulator shows a real Xoff hold, and
// drivers (Wine among them) do not always report why output waits.
class PortCalls {
 public:
  virtual ~PortCalls() = default;

  struct Write {
    bool written = false;                // the byte went out
    std::optional<std::string> failure;  // the call itself failed: the system's reason
  };
  // One write that gives up after a short slice; neither written nor failed means it timed out.
  virtual Write TryWrite(std::uint8_t byte) = 0;
  // Reads (and clears) the port's status; the system's reason when that call fails.
  virtual std::optional<std::string> CheckStatus() = 0;

  struct Pending {
    std::size_t bytes = 0;               // written but not yet on the line
    std::optional<std::string> failure;  // the system's reason when that cannot be read
  };
  virtual Pending PendingOutput() = 0;
  // Waits one short slice while output drains.
  virtual void WaitSlice() = 0;
};

// Writes `byte`. A write that times out while no call reports an error is a hold (Xoff, handshake
// lines, a full queue): it tries again, running `whileHeld` between the tries, for as long as the
// hold lasts. Only a failing write or status call, as a removed device gives, ends it with that
// failure, or the hold handler giving the output up (kAbandoned). kNone when the byte went out.
LinkFailure WriteThroughHolds(PortCalls& port, std::uint8_t byte, const HoldHandler& whileHeld);

// Lets the pending output drain while the far end keeps taking it, running `whileHeld` between
// the slices with how long the output has not moved. kStalled once nothing moved for
// `stallLimit`, so closing never waits on an embosser that stopped answering; kAbandoned when the
// hold handler gives it up; kNone when everything went out.
LinkFailure DrainThroughHolds(PortCalls& port, const HoldHandler& whileHeld,
                              std::chrono::milliseconds stallLimit);

}  // namespace redadado
