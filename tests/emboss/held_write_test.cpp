#include "emboss/held_write.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace redadado {
namespace {

// A port that answers each call from a script: 'w' written, 't' timed out, 'F' write failed for
// the write calls; 'o' status fine, 'S' status failed for the status calls.
class ScriptedPort : public WritePort {
 public:
  ScriptedPort(std::string writes, std::string statuses)
      : writes_(writes.begin(), writes.end()), statuses_(statuses.begin(), statuses.end()) {}

  Write TryWrite(std::uint8_t byte) override {
    tried.push_back(byte);
    const char step = Next(writes_);
    if (step == 'F') return {false, "write failed"};
    return {step == 'w', std::nullopt};
  }
  std::optional<std::string> CheckStatus() override {
    ++statusCalls;
    if (Next(statuses_) == 'S') return "status failed";
    return std::nullopt;
  }

  std::vector<std::uint8_t> tried;
  int statusCalls = 0;

 private:
  static char Next(std::deque<char>& script) {
    if (script.empty()) ADD_FAILURE() << "the port was called more often than scripted";
    if (script.empty()) return 'F';
    const char step = script.front();
    script.pop_front();
    return step;
  }
  std::deque<char> writes_;
  std::deque<char> statuses_;
};

TEST(WriteThroughHolds, WaitsOutAnyHoldAndEndsOnlyOnAFailingCall) {
  struct Case {
    const char* what;
    std::string writes;
    std::string statuses;
    LinkFault fault;
    std::string failure;
    int pumps;
    int giveUpAt = 0;  // the hold handler's call that gives the output up (0: none)
  };
  const std::string longHold(200, 't');
  const Case cases[] = {
      {"free line", "w", "", LinkFault::kNone, "", 0},
      // Wine and some drivers give no hold reason and an empty queue while Xoff holds the line.
      {"hold with no reason reported", longHold + "w", std::string(200, 'o'), LinkFault::kNone, "",
       200},
      {"unplugged during a hold", "tttF", "ooo", LinkFault::kFailed, "write failed", 3},
      {"status unreadable during a hold", "ttt", "ooS", LinkFault::kFailed, "status failed", 2},
      {"unplugged before writing", "F", "", LinkFault::kFailed, "write failed", 0},
      // Esc during a hold that does not end.
      {"given up while held", longHold, std::string(200, 'o'), LinkFault::kAbandoned,
       kOutputAbandoned, 200, 200},
  };
  for (const Case& c : cases) {
    ScriptedPort port(c.writes, c.statuses);
    int pumps = 0;
    const LinkFailure failure = WriteThroughHolds(
        port, 0x42, [&](std::chrono::milliseconds) { return ++pumps != c.giveUpAt; });
    EXPECT_EQ(failure.kind, c.fault) << c.what;
    EXPECT_EQ(FailureText(failure), c.failure) << c.what;
    EXPECT_EQ(pumps, c.pumps) << c.what;
    EXPECT_EQ(port.tried, std::vector<std::uint8_t>(c.writes.size(), 0x42)) << c.what;
    EXPECT_EQ(port.statusCalls, static_cast<int>(c.statuses.size())) << c.what;
  }
}

}  // namespace
}  // namespace redadado
