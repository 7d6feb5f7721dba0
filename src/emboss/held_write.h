#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "emboss/serial_link.h"

namespace redadado {

// The two port calls behind a write on a line with flow control, so that the decision between a
// held line and a dead one can be driven with scripted port states: no emulator shows a real
// Xoff hold, and drivers (Wine among them) do not always report why output waits.
class WritePort {
 public:
  virtual ~WritePort() = default;

  struct Write {
    bool written = false;                // the byte went out
    std::optional<std::string> failure;  // the call itself failed: the system's reason
  };
  // One write with a short time-out; neither written nor failed means it timed out.
  virtual Write TryWrite(std::uint8_t byte) = 0;
  // Reads (and clears) the port's status; the system's reason when that call fails.
  virtual std::optional<std::string> CheckStatus() = 0;
};

// Writes `byte`. A write that times out while no call reports an error is a hold (Xoff, handshake
// lines, a full queue): it tries again, running `whileHeld` between the tries, for as long as the
// hold lasts. Only a failing write or status call, as a removed device gives, ends it with that
// failure, or the hold handler giving the output up (kAbandoned). kNone when the byte went out.
LinkFailure WriteThroughHolds(WritePort& port, std::uint8_t byte, const HoldHandler& whileHeld);

}  // namespace redadado
