#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "speech/speech_guide.h"

namespace redadado {

// What the application sends the 32-bit speech helper, which loads the 32-bit reader libraries
// that a 64-bit process cannot. One command is its letter, the text's length (four bytes, least
// significant first) and the text in UTF-8.
enum class HelperOp : char {
  kPcTalkerSpeak = 'P',
  kPcTalkerReset = 'R',
  kXpReaderSpeak = 'X',
  kXpReaderRelease = 'C',  // the window's close: nothing more goes through XP Reader
};

struct HelperCommand {
  HelperOp op;
  std::string text;  // empty for a reset or a release
  bool operator==(const HelperCommand&) const = default;
};

// No announcement comes near this; a longer one means the stream is not ours.
inline constexpr std::size_t kHelperTextLimit = 64 * 1024;

std::string EncodeHelperCommand(const HelperCommand& command);

// The helper's side: takes the pipe's bytes as they come, in pieces of any size, and speaks each
// whole command through the two readers in order.
class HelperSession {
 public:
  HelperSession(std::unique_ptr<Reader> pcTalker, std::unique_ptr<Reader> xpReader);

  // False once the stream has gone wrong (an unknown letter, a text over the limit); nothing
  // after that is spoken, and the helper ends.
  bool Feed(std::string_view bytes);

 private:
  std::optional<HelperCommand> NextCommand();
  void Run(const HelperCommand& command);

  std::unique_ptr<Reader> pcTalker_;
  std::unique_ptr<Reader> xpReader_;
  std::string pending_;
  bool broken_ = false;
};

}  // namespace redadado
