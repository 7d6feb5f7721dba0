#include "speech/speech_helper.h"

#include <cstdint>
#include <utility>

namespace redadado {

namespace {

constexpr std::size_t kHeaderSize = 5;

bool KnownOp(char op) {
  switch (static_cast<HelperOp>(op)) {
    case HelperOp::kPcTalkerSpeak:
    case HelperOp::kPcTalkerReset:
    case HelperOp::kXpReaderSpeak:
    case HelperOp::kXpReaderRelease:
      return true;
  }
  return false;
}

}  // namespace

std::string EncodeHelperCommand(const HelperCommand& command) {
  const auto length = static_cast<std::uint32_t>(command.text.size());
  std::string bytes(1, static_cast<char>(command.op));
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<char>((length >> shift) & 0xFF));
  }
  return bytes + command.text;
}

HelperSession::HelperSession(std::unique_ptr<Reader> pcTalker, std::unique_ptr<Reader> xpReader)
    : pcTalker_(std::move(pcTalker)), xpReader_(std::move(xpReader)) {}

bool HelperSession::Feed(std::string_view bytes) {
  if (broken_) return false;
  pending_.append(bytes);
  while (std::optional<HelperCommand> command = NextCommand()) Run(*command);
  return !broken_;
}

std::optional<HelperCommand> HelperSession::NextCommand() {
  if (pending_.empty()) return std::nullopt;
  if (!KnownOp(pending_[0])) {
    broken_ = true;
    return std::nullopt;
  }
  if (pending_.size() < kHeaderSize) return std::nullopt;
  std::uint32_t length = 0;
  for (int i = 4; i >= 1; --i) length = (length << 8) | static_cast<unsigned char>(pending_[i]);
  if (length > kHelperTextLimit) {
    broken_ = true;
    return std::nullopt;
  }
  if (pending_.size() < kHeaderSize + length) return std::nullopt;
  HelperCommand command{static_cast<HelperOp>(pending_[0]), pending_.substr(kHeaderSize, length)};
  pending_.erase(0, kHeaderSize + length);
  return command;
}

void HelperSession::Run(const HelperCommand& command) {
  switch (command.op) {
    case HelperOp::kPcTalkerSpeak:
      if (pcTalker_) pcTalker_->Speak(command.text);
      break;
    case HelperOp::kPcTalkerReset:
      if (pcTalker_) pcTalker_->Reset();
      break;
    case HelperOp::kXpReaderSpeak:
      if (xpReader_) xpReader_->Speak(command.text);
      break;
    case HelperOp::kXpReaderRelease:
      xpReader_.reset();
      break;
  }
}

}  // namespace redadado
