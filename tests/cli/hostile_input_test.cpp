// The tool, the CUPS filter and the backend as a hostile user and a busy queue use them: every
// case ends, with its exit status and message, and leaves the user's files as they were.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "emboss/print_run.h"
#include "embosser/pty_simulator.h"
#include "support/shell.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const std::string kSamples = REDADADO_SAMPLES_DIR;
const std::string kCli = REDADADO_CLI_PATH;

using test::Quote;

// A shell command line; a hang is killed after 30 s and shows as status 137.
test::Shell Timed(const std::string& command) {
  return test::Sh("timeout -s KILL 30 sh -c " + Quote(command));
}

// The files of a folder and what they hold (a link: where it points; a FIFO: its kind).
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    if (entry.is_symlink()) {
      files[name] = "-> " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      files[name] = test::ReadFile(entry.path());
    } else {
      files[name] = entry.is_directory() ? "folder" : "special";
    }
  }
  return files;
}

// A BES document with `blocks` data blocks of a page each (18 lines).
std::string BesDocument(int blocks) {
  std::string bes(1025, ' ');
  bes.replace(22, 4, "0218");
  bes.replace(31, 3, std::to_string(1000 + blocks % 1000).substr(1));
  std::string block;
  for (int line = 0; line < 18; ++line) block += std::string(30, '\xA5') + '\xFE';
  block += '\x0C';
  const std::size_t length = block.size() + 3;
  const std::string head = {static_cast<char>(length & 0xFF), static_cast<char>(length >> 8), 0};
  for (int i = 0; i < blocks; ++i) bes += head + block;
  return bes;
}

struct Case {
  const char* what;
  std::string command;  // $D: the case's folder, $C: the tool, $F: the filter, $B: the backend
  int status;
  std::string message;  // a part of the output
};

std::string Expand(std::string text, const TempDir& dir) {
  const std::map<std::string, std::string> names = {{"$D", Quote(dir.path().string())},
                                                    {"$C", Quote(kCli)},
                                                    {"$F", Quote(REDADADO_FILTER_PATH)},
                                                    {"$B", Quote(REDADADO_BACKEND_PATH)}};
  for (const auto& [name, value] : names) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, name.size(), value);
    }
  }
  return text;
}

TEST(HostileInput, EveryCaseEndsWithItsStatusAndMessageAndLeavesTheFilesAsTheyWere) {
  const std::string noPage = "pages 900-999 asked for, the document has 4 pages";
  const std::string port = "ポート名は COM1〜COM256 のどれかです。";
  const std::string cups = "FINAL_CONTENT_TYPE=application/x-redadado-embosser ";
  const std::vector<Case> cases = {
      {"1 a port number beyond int", "$C print $D/T.bse --port COM99999999999", 1, port},
      {"1 a port number just past int", "$C print $D/T.bse --port COM2147483648", 1, port},
      {"1 the backend's port beyond COM256",
       cups + "DEVICE_URI=redadado:/COM99999999999 $B 1 u t 1 '' < $D/T.bse", 4, port},
      {"3 a conversion the header check refuses", "$C convert $D/bad.bes $D/keep.bse", 1,
       "行数が不適切です。"},
      {"3 an empty source", "$C convert $D/empty.bes $D/keep.bse", 1, "行数が不適切です。"},
      {"3 a source cut off before its first page", "$C convert $D/cut.bes $D/keep.bse", 1,
       "文書に本文がありません"},
      {"3 the source as its own target", "$C convert $D/x.bes $D/x.bes", 1,
       "読み込むファイルと同じファイルには書き込めません"},
      {"3 a link to the source as target", "$C convert $D/x.bes $D/x-link.bes", 1,
       "読み込むファイルと同じファイルには書き込めません"},
      {"4 the document as its own output", "$C print $D/T.bse --output $D/T.bse", 1,
       "読み込むファイルと同じファイルには書き込めません"},
      {"5 the user's own COM1 link", "$C emboss-sim --link $D/COM1 --sessions 1", 1,
       "/dev/ttyUSB0 を指しているので置き換えません"},
      {"6 a picture to a full disk", "$C view $D/T.bse --page 1 --png /dev/full", 1,
       "/dev/full: 通常のファイルではありません"},
      {"6 an overview to a full disk", "$C overview $D/T.bse --png /dev/full", 1,
       "通常のファイルではありません"},
      {"6 a conversion to a device", "$C convert $D/x.bes /dev/full", 1,
       "/dev/full: 通常のファイルではありません"},
      {"6 the reading to a full disk", "$C read $D/T.bse > /dev/full", 1,
       "標準出力に書き込めませんでした。\nディスクの空きがありません"},
      {"6 the header to a full disk", "$C info $D/T.bse > /dev/full", 1,
       "標準出力に書き込めませんでした。"},
      {"6 the reading to a closed output", "$C read $D/T.bse >&-", 1,
       "標準出力に書き込めませんでした。"},
      {"7 pages the document lacks", "$C print $D/T.bse --pages 900-999 --output $D/o.bin", 2,
       noPage},
      {"7 a range backwards", "$C print $D/T.bse --pages 5-1 --output $D/o.bin", 2, "A <= B"},
      {"7 a header without a body", "$C print $D/head.bse --output $D/o.bin", 1,
       "文書に本文がありません"},
      {"7 the filter asked for pages the document lacks",
       "CONTENT_TYPE=application/x-redadado-bse $F 1 u t 1 page-ranges=500-999 < $D/T.bse", 0,
       "redadado-refused: ページ範囲の始め 500 ページは文書にありません（文書は 4 ページです）。"},
      {"8 an endless device as the document", "$C info /dev/zero", 1,
       "ファイルがオープンできませんでした。\n/dev/zero: 通常のファイルではありません"},
      {"8 a FIFO as the document", "$C info $D/fifo.bse", 1, "通常のファイルではありません"},
      {"8 a FIFO as the settings file", "$D/tool/redadado-cli info $D/T.bse", 0, "ページ数: 4"},
      {"8 a header line without end", "$C info $D/long.bse", 1, "行数が不適切です。"},
      {"11 a NUL in the device URI",
       cups + "DEVICE_URI=redadado:/dir/x%00y $B 1 u t 1 '' < $D/T.bse", 4, "制御文字"},
      {"11 a line break in the device URI",
       cups + "DEVICE_URI=redadado:/dev/tty%0AS0 $B 1 u t 1 '' < $D/T.bse", 4, "制御文字"},
      {"12 a missing document", "$C info $D/absent.bse", 1,
       "ファイルがオープンできませんでした。\n"},
      {"12 a folder as the document", "$C read $D/folder.bse", 1,
       "folder.bse: フォルダーです（Is a directory）"},
      {"12 a path through a file", "$C print $D/T.bse/x.bse --output $D/o.bin", 1,
       "T.bse/x.bse: 見つかりません（Not a directory）"},
  };

  TempDir dir;
  fs::copy_file(kSamples + "/taketori.bse", dir / "T.bse");
  fs::copy_file(kSamples + "/tenji.bes", dir / "x.bes");
  fs::create_symlink(dir / "x.bes", dir / "x-link.bes");
  dir.Write("bad.bes", std::string(40, '7'));
  dir.Write("empty.bes", "");
  dir.Write("cut.bes", test::ReadFile(kSamples + "/tenji.bes").substr(0, 600));
  dir.Write("keep.bse", "the user's own document");
  dir.Write("head.bse", test::BseHeaderLine(999, 18));
  dir.Write("long.bse", std::string(503, ' ') + "00040218" + std::string(100'000, ' ') + "\n.");
  fs::create_symlink("/dev/ttyUSB0", dir / "COM1");
  fs::create_directory(dir / "folder.bse");
  ASSERT_EQ(::mkfifo((dir / "fifo.bse").c_str(), 0600), 0);
  // A copy of the tool whose application folder holds a FIFO in place of NEF.ini.
  fs::create_directory(dir / "tool");
  fs::copy_file(kCli, dir / "tool" / "redadado-cli");
  ASSERT_EQ(::mkfifo((dir / "tool" / "NEF.ini").c_str(), 0600), 0);

  const auto before = Snapshot(dir.path());
  for (const Case& c : cases) {
    const test::Shell ran = Timed(Expand(c.command, dir));
    EXPECT_EQ(ran.status, c.status) << c.what << "\n" << ran.out;
    EXPECT_NE(ran.out.find(c.message), std::string::npos) << c.what << "\n" << ran.out;
    EXPECT_EQ(Snapshot(dir.path()), before) << c.what;
  }
  // The device the cases wrote to is still the device.
  struct stat full {};
  ASSERT_EQ(::stat("/dev/full", &full), 0);
  EXPECT_TRUE(S_ISCHR(full.st_mode));
}

TEST(HostileInput, TheToolSaysWhereAndWhyADocumentCannotBeOpened) {
  TempDir dir;
  const test::Shell ran = Timed(Expand("$C info $D/absent.bse", dir));
  EXPECT_EQ(ran.out, "ファイルがオープンできませんでした。\n" + (dir / "absent.bse").string() +
                         ": 見つかりません（No such file or directory）\n");
}

// Two BES prints at once, many times: each gets its own document's stream, and nothing is left in
// the temporary folder or beside the tool.
TEST(HostileInput, TwoConversionsAtOnceKeepTheirOwnDocuments) {
  TempDir dir;
  fs::create_directory(dir / "tmp");
  dir.Write("a.bes", BesDocument(3));
  dir.Write("b.bes", BesDocument(40));
  const std::string run = "TMPDIR=$D/tmp $C print $D/";
  ASSERT_EQ(Timed(Expand(run + "a.bes --output $D/a.want", dir)).status, 0);
  ASSERT_EQ(Timed(Expand(run + "b.bes --output $D/b.want", dir)).status, 0);
  const std::string a = test::ReadFile(dir / "a.want");
  const std::string b = test::ReadFile(dir / "b.want");
  ASSERT_NE(a, b);
  for (int i = 0; i < 10; ++i) {
    const test::Shell both = Timed(Expand(run + "a.bes --output $D/a.bin & a=$!; " + run +
                                              "b.bes --output $D/b.bin & b=$!; wait $a && wait $b",
                                          dir));
    ASSERT_EQ(both.status, 0) << both.out;
    EXPECT_EQ(test::ReadFile(dir / "a.bin"), a) << i;
    EXPECT_EQ(test::ReadFile(dir / "b.bin"), b) << i;
  }
  EXPECT_TRUE(fs::is_empty(dir / "tmp"));
  EXPECT_FALSE(fs::exists(fs::path(kCli).parent_path() / "BseForNEF.bse"));
}

// A stop signal in the middle of a long conversion ends the tool and the filter soon, and takes
// their temporary files with them.
TEST(HostileInput, AStopSignalEndsALongConversionAndLeavesNothingBehind) {
  TempDir dir;
  fs::create_directory(dir / "tmp");
  dir.Write("big.bes", BesDocument(120'000));  // about 70 MB of BSE
  struct Stop {
    const char* command;
    int status;
    const char* message;
  };
  for (const auto& [command, status, message] :
       {Stop{"$C info $D/big.bes", 143, "変換を取り消しました。"},
        Stop{"CONTENT_TYPE=application/x-redadado-bes $F 1 u t 1 '' $D/big.bes", 1,
             "INFO: BES の文書を BSE に変換しています。"}}) {
    const auto start = std::chrono::steady_clock::now();
    const test::Shell ran = Timed(Expand(std::string("TMPDIR=$D/tmp ") + command +
                                             " > /dev/null & p=$!; sleep 0.3; kill $p; wait $p",
                                         dir));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(ran.status, status) << command << "\n" << ran.out;
    EXPECT_NE(ran.out.find(message), std::string::npos) << ran.out;
    EXPECT_LT(took, std::chrono::seconds(3)) << command;
    EXPECT_TRUE(fs::is_empty(dir / "tmp")) << command;
  }
}

// An embosser at `dir`/embosser on the default line, paced quickly.
SimulatorOptions QuickSimulator(const TempDir& dir) {
  SimulatorOptions options;
  options.link = dir / "embosser";
  options.pictures = dir / "sheets";
  options.line = *LineParametersFor(Settings{}).parameters;
  options.paceBaud = 2'560'000;
  return options;
}

struct HeldPort {
  TempDir dir;
  std::unique_ptr<PtySimulator> simulator;
  termios found{};

  // The embosser holds after `bytes`, for ever.
  explicit HeldPort(std::size_t bytes) {
    SimulatorOptions options = QuickSimulator(dir);
    options.holdAfterBytes = bytes;
    options.holdFor = std::chrono::hours(1);
    std::string error;
    simulator = PtySimulator::Create(options, error);
    EXPECT_TRUE(simulator) << error;
    if (!simulator) return;
    const int fd = ::open(simulator->DevicePath().c_str(), O_RDWR | O_NOCTTY);
    ::tcgetattr(fd, &found);
    ::close(fd);
    simulator->Start();
  }
  std::string Print(const std::string& rest) const {
    return Quote(kCli) + " print " + Quote(kSamples + "/taketori.bse") + " --copies 50 --port " +
           Quote((dir / "embosser").string()) + rest;
  }
  // The port as the print found it: its settings back, and not stopped by the Xoff.
  void ExpectFoundState() const {
    const int fd = ::open(simulator->DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios now{};
    ::tcgetattr(fd, &now);
    EXPECT_EQ(now.c_iflag, found.c_iflag);
    EXPECT_EQ(now.c_oflag, found.c_oflag);
    EXPECT_EQ(now.c_lflag, found.c_lflag);
    EXPECT_EQ(now.c_cflag, found.c_cflag);
    EXPECT_EQ(::write(fd, "x", 1), 1);
    ::close(fd);
  }
};

TEST(HostileInput, ASignalDuringAnEndlessHoldSaysWhatWasSentAndLeavesThePortAsFound) {
  for (const auto& [signal, status] : {std::pair{"INT", 130}, std::pair{"TERM", 143}}) {
    HeldPort port(30'000);  // a few pages in
    ASSERT_TRUE(port.simulator);
    const test::Shell ran =
        Timed(port.Print(" & p=$!; sleep 3; kill -" + std::string(signal) + " $p; wait $p"));
    EXPECT_EQ(ran.status, status) << ran.out;
    EXPECT_NE(ran.out.find("中断しました。"), std::string::npos) << ran.out;
    EXPECT_NE(ran.out.find(" 部目の "), std::string::npos) << ran.out;
    port.ExpectFoundState();
  }
}

TEST(HostileInput, AHoldTimeoutGivesUpOnItsOwnAndAGoneEmbosserIsReportedOnce) {
  HeldPort held(2000);
  ASSERT_TRUE(held.simulator);
  const auto start = std::chrono::steady_clock::now();
  test::Shell ran = Timed(held.Print(" --hold-timeout 1"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(ran.status, 1) << ran.out;
  EXPECT_NE(ran.out.find("1 秒間データを受け取らなかったため"), std::string::npos) << ran.out;
  held.ExpectFoundState();

  TempDir dir;
  SimulatorOptions options = QuickSimulator(dir);
  options.closeAfterBytes = 500;
  std::string error;
  const auto gone = PtySimulator::Create(options, error);
  ASSERT_TRUE(gone) << error;
  gone->Start();
  ran = Timed(Quote(kCli) + " print " + Quote(kSamples + "/taketori.bse") + " --copies 50 --port " +
              Quote(options.link.string()));
  EXPECT_EQ(ran.status, 1);
  const std::size_t first = ran.out.find(kLinkFailedMessage);
  EXPECT_NE(first, std::string::npos) << ran.out;
  EXPECT_EQ(ran.out.find(kLinkFailedMessage, first + 1), std::string::npos) << ran.out;
}

}  // namespace
}  // namespace redadado
