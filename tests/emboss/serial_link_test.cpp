#include "emboss/serial_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "emboss/memory_sink.h"
#include "emboss/print_run.h"
#include "emboss/serial_baud_posix.h"
#include "embosser/pty_simulator.h"
#include "print_test_support.h"

namespace redadado {
namespace {

using std::chrono::milliseconds;
using test::RunFixture;

// Baud-rate index 14: 256000 baud, the fastest line; the simulator drains quicker still.
constexpr int kFastBaudIndex = 14;
constexpr int kQuickPace = 2'560'000;

std::unique_ptr<PtySimulator> MakeSimulator(const RunFixture& run, SimulatorOptions options) {
  options.link = run.dir / "COM1";
  options.pictures = run.dir / "embossed";
  options.line = *LineParametersFor(run.session.settings).parameters;
  std::string error;
  auto simulator = PtySimulator::Create(std::move(options), error);
  EXPECT_TRUE(simulator) << error;
  if (simulator) simulator->Start();
  return simulator;
}

std::vector<std::uint8_t> ExpectedStream(RunFixture& run) {
  MemorySink memory;
  EXPECT_EQ(run.Run(memory), PrintResult::kDone);
  return memory.bytes;
}

// Several copies, so the stream outgrows what the terminal itself buffers and the link has to
// wait for the far end.
void UseSample(RunFixture& run, const char* name, int copies = 1) {
  run.session.document.path = std::string(REDADADO_SAMPLES_DIR) + "/" + name;
  run.controls.lastPage = 4;
  run.controls.copies = copies;
}

TEST(SerialLinkEndToEnd, FarEndSeesExactlyTheEnginesStreamPacedByXonXoff) {
  RunFixture run;
  run.session.settings.values[Settings::kBaudRate] = kFastBaudIndex;
  UseSample(run, "taketori.bse", 3);
  const std::vector<std::uint8_t> expected = ExpectedStream(run);
  SimulatorOptions options;
  options.paceBaud = 256000 * 4;  // fast, but slower than the pty: Xoff must hold the link back
  auto simulator = MakeSimulator(run, options);
  ASSERT_TRUE(simulator);
  {
    auto link = OpenSerialLink(run.session.settings, run.session.paths, run.messages, [&](auto) {
      run.ui.PumpEvents();
      return true;
    });
    ASSERT_TRUE(link) << run.messages.texts.back();
    EXPECT_EQ(run.Run(*link), PrintResult::kDone);
    EXPECT_TRUE(link->Close()) << FailureText(link->Failure());
    EXPECT_FALSE(link->Put(0x0D));  // closed
    EXPECT_TRUE(link->Close());     // says again what the close did
  }
  ASSERT_TRUE(simulator->WaitForSessions(1, milliseconds(30000)));
  const SimulatorSession session = simulator->Sessions().at(0);
  EXPECT_EQ(session.stream, expected) << test::HexDiff(expected, session.stream);
  EXPECT_TRUE(session.problems.empty()) << session.Summary();
  EXPECT_TRUE(session.outcome.ok) << session.outcome.text;
  EXPECT_GT(run.ui.pumps, 0);
  EXPECT_TRUE(std::filesystem::exists(run.dir / "embossed" / "side-001.png"));
  EXPECT_NE(std::find(run.messages.texts.begin(), run.messages.texts.end(),
                      std::string("確認: ") + kSerialConfirmation),
            run.messages.texts.end());
}

TEST(SerialLinkEndToEnd, XoffHeldForASecondLosesNothingAndKeepsPumping) {
  RunFixture run;
  run.session.settings.values[Settings::kBaudRate] = kFastBaudIndex;
  UseSample(run, "kaze.bse", 8);
  const std::vector<std::uint8_t> expected = ExpectedStream(run);
  SimulatorOptions options;
  options.paceBaud = kQuickPace;
  options.holdAfterBytes = 100;
  options.holdFor = milliseconds(1000);
  auto simulator = MakeSimulator(run, options);
  ASSERT_TRUE(simulator);
  int linkPumps = 0;
  const auto start = std::chrono::steady_clock::now();
  {
    auto link = OpenSerialLink(run.session.settings, run.session.paths, run.messages, [&](auto) {
      ++linkPumps;
      return true;
    });
    ASSERT_TRUE(link);
    EXPECT_EQ(run.Run(*link), PrintResult::kDone);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(simulator->WaitForSessions(1, milliseconds(30000)));
  const SimulatorSession session = simulator->Sessions().at(0);
  EXPECT_EQ(session.stream, expected) << test::HexDiff(expected, session.stream);
  EXPECT_TRUE(session.problems.empty()) << session.Summary();
  EXPECT_GE(elapsed, milliseconds(950));
  // Short waits, each followed by the pump: a second's hold gives dozens of them.
  EXPECT_GE(linkPumps, 15);
}

TEST(SerialLinkEndToEnd, GivingUpAnEndlessHoldStopsTheRunAndClosesAtOnce) {
  RunFixture run;
  run.session.settings.values[Settings::kBaudRate] = kFastBaudIndex;
  UseSample(run, "taketori.bse", 8);
  run.controls.side =
      SideMode::kFrontOnly;  // fronts only: no back-side question while the terminal buffers fill
  SimulatorOptions options;
  options.paceBaud = kQuickPace;
  options.holdAfterBytes = 300;
  options.holdFor = milliseconds(60000);  // an embosser out of paper
  auto simulator = MakeSimulator(run, options);
  ASSERT_TRUE(simulator);
  milliseconds longestHold{0};
  const auto start = std::chrono::steady_clock::now();
  {
    auto link = OpenSerialLink(run.session.settings, run.session.paths, run.messages,
                               [&](milliseconds held) {
                                 longestHold = std::max(longestHold, held);
                                 return held < milliseconds(300);
                               });
    ASSERT_TRUE(link);
    EXPECT_EQ(run.Run(*link), PrintResult::kStopped);
    EXPECT_EQ(link->Failure().kind, LinkFault::kAbandoned);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(3000));
  EXPECT_GE(longestHold, milliseconds(300));
  // The user asked for it: no failure is reported, and the controls are reset as after a stop.
  EXPECT_EQ(run.messages.texts,
            std::vector<std::string>{std::string("確認: ") + kSerialConfirmation});
  EXPECT_EQ(run.controls.resets, 1);
}

TEST(SerialLinkEndToEnd, FarEndClosingMidPageEndsTheRunAtOnce) {
  RunFixture run;
  run.session.settings.values[Settings::kBaudRate] = kFastBaudIndex;
  UseSample(run, "taketori.bse", 8);
  SimulatorOptions options;
  options.paceBaud = kQuickPace;
  options.closeAfterBytes = 200;
  auto simulator = MakeSimulator(run, options);
  ASSERT_TRUE(simulator);
  auto link = OpenSerialLink(run.session.settings, run.session.paths, run.messages, [&](auto) {
    run.ui.PumpEvents();
    return true;
  });
  ASSERT_TRUE(link);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(run.Run(*link), PrintResult::kLinkFailed);
  const auto runTime = std::chrono::steady_clock::now() - start;
  EXPECT_LT(runTime, milliseconds(1000));
  EXPECT_EQ(link->Failure().kind, LinkFault::kFailed);
  EXPECT_NE(link->Failure().reason, "");
  EXPECT_FALSE(link->Put(0x0D));  // stays failed
  const auto closeStart = std::chrono::steady_clock::now();
  EXPECT_FALSE(link->Close());  // what was cut off is not reported as sent
  EXPECT_LT(std::chrono::steady_clock::now() - closeStart, milliseconds(500));
}

TEST(SerialLinkOpen, MissingPortIsReported) {
  RunFixture run;
  EXPECT_EQ(OpenSerialLink(run.session.settings, run.session.paths, run.messages, {},
                           (run.dir / "nothing").string()),
            nullptr);
  ASSERT_EQ(run.messages.texts.size(), 2u);
  EXPECT_EQ(run.messages.texts[1].rfind(std::string("確認: ") + kSerialOpenFailed + "\n", 0), 0u)
      << run.messages.texts[1];
  EXPECT_NE(run.messages.texts[1].find("No such file"), std::string::npos);
}

TEST(SerialLinkOpen, CancelOpensNothingAndSaysNothingMore) {
  RunFixture run;
  SimulatorOptions options;
  auto simulator = MakeSimulator(run, options);
  ASSERT_TRUE(simulator);
  run.messages.answers = {false};
  EXPECT_EQ(OpenSerialLink(run.session.settings, run.session.paths, run.messages, {}), nullptr);
  EXPECT_EQ(run.messages.texts.size(), 1u);
  EXPECT_FALSE(simulator->WaitForSessions(1, milliseconds(300)));
}

TEST(SerialLinkOpen, PortNamesResolveThroughTheApplicationDirectory) {
  test::TempDir dir;
  const AppPaths paths(dir.path());
  EXPECT_EQ(PortDevice(paths, "COM3"), "/dev/ttyS2");
  EXPECT_EQ(PortDevice(paths, "COM9"), "/dev/ttyS8");
  std::filesystem::create_symlink("/dev/ttyUSB7", dir / "COM3");  // dangling still counts
  EXPECT_EQ(PortDevice(paths, "COM3"), (dir / "COM3").string());
  EXPECT_EQ(PortDevice(paths, "/dev/ttyACM0"), "/dev/ttyACM0");
}

struct LineCase {
  const char* name;
  std::array<int, Settings::kCount> values;
  speed_t speed;  // 0: a speed termios lacks, read through termios2
  int baud;
  bool twoStop;
  bool xonXoff;
};

class SerialLineSettings : public ::testing::TestWithParam<LineCase> {};

// Opens the link on a bare pseudo-terminal and reads back what it set through the master.
TEST_P(SerialLineSettings, ReachTheTerminal) {
  const LineCase& c = GetParam();
  RunFixture run;
  run.session.settings.values = c.values;
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  // A port used before with other handshake settings.
  termios before{};
  ASSERT_EQ(tcgetattr(master, &before), 0);
  before.c_iflag |= IXANY;
  before.c_cflag |= CRTSCTS;
  ASSERT_EQ(tcsetattr(master, TCSANOW, &before), 0);
  {
    auto link =
        OpenSerialLink(run.session.settings, run.session.paths, run.messages, {}, ptsname(master));
    ASSERT_TRUE(link) << run.messages.texts.back();
    termios t{};
    ASSERT_EQ(tcgetattr(master, &t), 0);
    if (c.speed != 0) {
      EXPECT_EQ(cfgetospeed(&t), c.speed);
    }
    EXPECT_EQ(ReadBaudRate(master), c.baud);
    // A pseudo-terminal forces CS8 without parity whatever is set, so those two are not seen.
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStop);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    if (c.xonXoff) {
      EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY), static_cast<tcflag_t>(IXON | IXOFF));
      EXPECT_EQ(t.c_cc[VSTART], 0x11);
      EXPECT_EQ(t.c_cc[VSTOP], 0x13);
      EXPECT_EQ(t.c_cflag & CRTSCTS, static_cast<tcflag_t>(CRTSCTS));  // untouched
    } else {
      // No flow control chosen: the port's own handshake stays as it was.
      EXPECT_EQ(t.c_iflag & IXANY, static_cast<tcflag_t>(IXANY));
      EXPECT_EQ(t.c_cflag & CRTSCTS, static_cast<tcflag_t>(CRTSCTS));
    }
  }
  close(master);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialLineSettings,
    ::testing::Values(
        LineCase{"defaults", Settings::Defaults(), B1200, 1200, false, true},
        LineCase{"fastest_odd_two_stop", {14, 0, 0, 4, 2, 1, 0}, 0, 256000, true, true},
        LineCase{"even_seven_bits_no_flow", {6, 0, 1, 3, 0, 2, 0}, B9600, 9600, false, false},
        LineCase{"five_bits_one_and_a_half", {7, 0, 0, 1, 1, 0, 0}, 0, 14400, true, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(SerialLineSettings, WhatThePortCannotDoIsRefusedClearly) {
  RunFixture run;
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  run.session.settings.values = {3, 0, 0, 0, 0, 0, 0};  // 4 data bits
  EXPECT_EQ(
      OpenSerialLink(run.session.settings, run.session.paths, run.messages, {}, ptsname(master)),
      nullptr);
  EXPECT_NE(run.messages.texts.back().find("4 データビット"), std::string::npos);
  run.session.settings.values = {3, 0, 0, 4, 1, 0, 0};  // 1.5 stop bits with 8 data bits
  EXPECT_EQ(
      OpenSerialLink(run.session.settings, run.session.paths, run.messages, {}, ptsname(master)),
      nullptr);
  EXPECT_NE(run.messages.texts.back().find("1.5 ストップビット"), std::string::npos);
  run.session.settings.values = {15, 0, 0, 4, 0, 0, 0};  // never indexes past the table
  EXPECT_EQ(
      OpenSerialLink(run.session.settings, run.session.paths, run.messages, {}, ptsname(master)),
      nullptr);
  EXPECT_NE(run.messages.texts.back().find("ボーレートの番号 15"), std::string::npos);
  close(master);
}

TEST(SerialLinkSimulator, ReportsLineSettingsThatDifferFromTheEmbossers) {
  RunFixture run;
  run.session.settings.values[Settings::kBaudRate] = kFastBaudIndex;
  SimulatorOptions options;
  options.paceBaud = kQuickPace;
  options.link = run.dir / "COM1";
  options.pictures = run.dir / "embossed";
  options.line = *LineParametersFor(run.session.settings).parameters;
  options.line.baudRate = 9600;
  std::string error;
  auto simulator = PtySimulator::Create(options, error);
  ASSERT_TRUE(simulator) << error;
  simulator->Start();
  {
    auto link = OpenSerialLink(run.session.settings, run.session.paths, run.messages, {});
    ASSERT_TRUE(link);
    for (std::uint8_t byte : {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31, 0x0C, 0x0D}) {
      ASSERT_TRUE(link->Put(byte));
    }
  }
  ASSERT_TRUE(simulator->WaitForSessions(1, milliseconds(30000)));
  const SimulatorSession session = simulator->Sessions().at(0);
  ASSERT_EQ(session.problems.size(), 1u) << session.Summary();
  EXPECT_EQ(session.problems[0], "ボーレートが違います: 256000（本機は 9600）");
  EXPECT_EQ(session.outcome.sheetSides, 1);
}

}  // namespace
}  // namespace redadado
