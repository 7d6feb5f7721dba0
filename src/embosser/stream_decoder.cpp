#include "embosser/stream_decoder.h"

#include <array>
#include <cstdio>

#include "emboss/stream_bytes.h"

namespace redadado {

namespace {

// After a CR: LF FF and the start commands, followed by the digit.
constexpr std::array<std::uint8_t, 8> kRestartRest = {kLineFeed, kFormFeed, kEsc, kEsc,
                                                      0x47,      kEsc,      kEsc, 0x44};

struct TagRange {
  std::uint8_t low;
  std::uint8_t high;
  const char* name;
};
constexpr std::array<TagRange, 4> kAddressTags = {{{0x20, 0x32, "1 バイト目 (0x20〜0x32)"},
                                                   {0x60, 0x7F, "2 バイト目 (0x60〜0x7F)"},
                                                   {0x20, 0x38, "3 バイト目 (0x20〜0x38)"},
                                                   {0x40, 0x5F, "4 バイト目 (0x40〜0x5F)"}}};

}  // namespace

std::string StreamFault::Describe() const {
  char head[48];
  std::snprintf(head, sizeof head, "位置 %zu (0x%02X): ", offset, byte);
  return head + what;
}

void StreamDecoder::Fault(std::uint8_t byte, std::string what) {
  faults_.push_back({offset_, byte, std::move(what)});
}

void StreamDecoder::EndSide() {
  current_.number = static_cast<int>(sides_.size()) + 1;
  current_.large = large_;
  sides_.push_back(std::move(current_));
  current_ = SheetSide{};
  lastWasAddress_ = false;
}

void StreamDecoder::Address(int x, int y) {
  if (x >= kEmbosserColumns || y >= kEmbosserRows) {
    Fault(address_[3],
          "点の位置 (" + std::to_string(x) + ", " + std::to_string(y) + ") は用紙の範囲外です");
    lastWasAddress_ = false;
    return;
  }
  if (lastWasAddress_ && !current_.dots.empty() && current_.dots.back().x == x &&
      current_.dots.back().y == y) {
    ++current_.dots.back().strikes;
  } else {
    current_.dots.push_back({x, y, 1});
  }
  lastWasAddress_ = true;
}

void StreamDecoder::Feed(std::uint8_t byte) {
  switch (state_) {
    case State::kStart:
    case State::kRestart: {
      const bool restart = state_ == State::kRestart;
      const std::size_t length = restart ? kRestartRest.size() : kStartCommands.size();
      if (sequencePos_ < length) {
        const std::uint8_t expected =
            restart ? kRestartRest[sequencePos_] : kStartCommands[sequencePos_];
        if (byte != expected) {
          Fault(byte, restart ? "再開の指令 (CR LF FF ESC ESC G ESC ESC D) が崩れています"
                              : "開始の指令 (ESC ESC G ESC ESC D) が崩れています");
          sequencePos_ = 0;
          if (started_) state_ = State::kPage;
          break;
        }
        // The restart's form feed feeds out only a side that still holds dots.
        if (restart && byte == kFormFeed && !current_.dots.empty()) EndSide();
        ++sequencePos_;
        break;
      }
      if (byte == '1' || byte == '2') {
        large_ = byte == '2';
      } else {
        Fault(byte, "点の種類は '1' か '2' のはずです");
      }
      started_ = true;
      sequencePos_ = 0;
      lastWasAddress_ = false;
      state_ = State::kPage;
      break;
    }
    case State::kAddress: {
      const TagRange& tag = kAddressTags[addressPos_];
      if (byte < tag.low || byte > tag.high) {
        Fault(byte, std::string("点の番地の") + tag.name + " の範囲外です");
        lastWasAddress_ = false;
        state_ = State::kPage;
        break;
      }
      address_[addressPos_++] = byte;
      if (addressPos_ == 4) {
        state_ = State::kPage;
        Address((address_[0] - 0x20) * 32 + (address_[1] - 0x60),
                (address_[2] - 0x20) * 32 + (address_[3] - 0x40));
      }
      break;
    }
    case State::kAfterCr:
      if (byte == kLineFeed) {
        state_ = State::kRestart;
        sequencePos_ = 1;
        break;
      }
      if (byte == kEsc) {  // the next run on the same connection
        state_ = State::kStart;
        sequencePos_ = 1;
        break;
      }
      state_ = State::kPage;
      [[fallthrough]];
    case State::kPage:
      if (byte >= kAddressTags[0].low && byte <= kAddressTags[0].high) {
        address_[0] = byte;
        addressPos_ = 1;
        state_ = State::kAddress;
      } else if (byte == kFormFeed) {
        EndSide();
      } else if (byte == kCarriageReturn) {
        lastWasAddress_ = false;
        state_ = State::kAfterCr;
      } else {
        Fault(byte, "ここに来るのは点の番地、FF か CR のはずです");
        lastWasAddress_ = false;
      }
      break;
  }
  ++offset_;
}

void StreamDecoder::Finish() {
  const std::uint8_t none = 0;
  if (state_ == State::kAddress) Fault(none, "点の番地の途中で終わっています");
  if ((state_ == State::kStart || state_ == State::kRestart) && sequencePos_ > 0) {
    Fault(none, "指令の途中で終わっています");
  }
  if (!current_.dots.empty()) {
    Fault(none, "最後の面が FF で終わっていません");
    EndSide();
  }
  if (started_ && state_ != State::kAfterCr) Fault(none, "最後の CR がありません");
  state_ = started_ ? State::kAfterCr : State::kStart;
  sequencePos_ = 0;
}

}  // namespace redadado
