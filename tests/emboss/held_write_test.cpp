#include "emboss/held_write.h"

#include <gtest/gtest.h>

#include <deque>
#include <thread>
#include <vector>

namespace redadado {
namespace {

// A port that answers each call from a script: 'w' written, 't' timed out, 'F' write failed for
// the write calls; 'o' status fine, 'S' status failed for the status calls; for the pending
// output, a digit is that many bytes and 'S' a failed call.
class ScriptedPort : public PortCalls {
 public:
  ScriptedPort(std::string writes, std::string statuses)
      : writes_(writes.begin(), writes.end()), statuses_(statuses.begin(), statuses.end()) {}
  explicit ScriptedPort(std::string pending) : pending_(pending.begin(), pending.end()) {}

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

  Pending PendingOutput() override {
    const char step = Next(pending_);
    if (step == 'S') return {0, "status failed"};
    return {static_cast<std::size_t>(step - '0'), std::nullopt};
  }
  void WaitSlice() override {
    ++slices;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }

  std::vector<std::uint8_t> tried;
  int statusCalls = 0;
  int slices = 0;

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
  std::deque<char> pending_;
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

TEST(DrainThroughHolds, WaitsWhileTheOutputMovesAndGivesUpWhenItStalls) {
  using std::chrono::milliseconds;
  struct Case {
    const char* what;
    std::string pending;
    milliseconds stallLimit;
    LinkFault fault;
    int slices;
    int giveUpAt = 0;  // the hold handler's call that gives the output up (0: none)
  };
  const Case cases[] = {
      {"nothing pending", "0", milliseconds(0), LinkFault::kNone, 0},
      {"drains", "9530", milliseconds(0), LinkFault::kNone, 3},
      // The same amount pending again counts as no progress.
      {"stalls", "955", milliseconds(0), LinkFault::kStalled, 2},
      {"held but moving again", "99990", milliseconds(1000), LinkFault::kNone, 4},
      {"status unreadable", "95S", milliseconds(1000), LinkFault::kFailed, 2},
      {"given up", "999", milliseconds(1000), LinkFault::kAbandoned, 2, 2},
  };
  for (const Case& c : cases) {
    ScriptedPort port(c.pending);
    int calls = 0;
    const LinkFailure failure = DrainThroughHolds(
        port, [&](milliseconds) { return ++calls != c.giveUpAt; }, c.stallLimit);
    EXPECT_EQ(failure.kind, c.fault) << c.what;
    EXPECT_EQ(port.slices, c.slices) << c.what;
  }
}

}  // namespace
}  // namespace redadado
