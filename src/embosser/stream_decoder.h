#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace redadado {

// The embosser's dot raster, in positions.
inline constexpr int kEmbosserColumns = 600;
inline constexpr int kEmbosserRows = 793;

struct EmbossedDot {
  int x = 0;
  int y = 0;
  int strikes = 1;  // an address repeated directly strikes the same dot again
};

// One sheet side as the embosser feeds it out: ended by a form feed.
struct SheetSide {
  int number = 0;      // 1-based, counted over the stream
  bool large = false;  // dot kind digit '2' in effect
  std::vector<EmbossedDot> dots;
};

// A byte that does not fit the stream at its place.
struct StreamFault {
  std::size_t offset = 0;  // 0-based position in the stream
  std::uint8_t byte = 0;
  std::string what;

  // "位置 12 (0x41): ..." for messages.
  std::string Describe() const;
};

// Turns the byte stream of a print run back into sheet sides of dots: start commands
// ESC ESC 'G' ESC ESC 'D' and the dot kind digit, four-byte dot addresses, FF at the end of each
// side, CR LF FF and the start commands to restart, a final CR. Several runs may follow one
// another on one connection. Faulty bytes are recorded and skipped.
class StreamDecoder {
 public:
  void Feed(std::uint8_t byte);
  // The stream has ended; dots not closed by a form feed are fed out as a last side (and noted
  // as a fault, as is a stream cut off in the middle of a command or address).
  void Finish();

  const std::vector<SheetSide>& Sides() const { return sides_; }
  const std::vector<StreamFault>& Faults() const { return faults_; }
  std::size_t BytesSeen() const { return offset_; }
  // The last byte ended a run (its final CR).
  bool RunEnded() const { return state_ == State::kAfterCr; }

 private:
  enum class State { kStart, kPage, kAddress, kAfterCr, kRestart };

  void Fault(std::uint8_t byte, std::string what);
  void EndSide();
  void Address(int x, int y);

  State state_ = State::kStart;
  std::size_t sequencePos_ = 0;  // within the start or restart sequence
  bool started_ = false;         // a start command has been seen
  std::uint8_t address_[4] = {};
  int addressPos_ = 0;
  bool large_ = false;
  bool lastWasAddress_ = false;  // the previous item was a dot address (double strike)
  SheetSide current_;
  std::vector<SheetSide> sides_;
  std::vector<StreamFault> faults_;
  std::size_t offset_ = 0;
};

}  // namespace redadado
