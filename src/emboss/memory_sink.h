#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "emboss/print_seams.h"

namespace redadado {

// Collects the byte stream of a run in memory. It can be told to fail after a number of bytes,
// like a link whose far end went away.
class MemorySink : public ByteSink {
 public:
  MemorySink() = default;
  explicit MemorySink(std::size_t failAfter) : failAfter_(failAfter) {}

  bool Put(std::uint8_t byte) override {
    if (bytes.size() >= failAfter_) {
      ++refused;
      return false;
    }
    bytes.push_back(byte);
    return true;
  }
  LinkFailure Failure() const override {
    if (bytes.size() < failAfter_) return {};
    return {LinkFault::kFailed, "the link went away"};
  }

  std::vector<std::uint8_t> bytes;
  int refused = 0;  // bytes offered after the failure

 private:
  std::size_t failAfter_ = std::numeric_limits<std::size_t>::max();
};

}  // namespace redadado
