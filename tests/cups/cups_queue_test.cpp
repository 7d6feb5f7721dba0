// A real CUPS: a private cupsd on a loopback port with its own configuration and spool, the
// project's filter, backend and PPD installed into its private tree, and a queue whose device
// is a pseudo-terminal with the embosser simulator on the far end. Nothing system-wide is used.

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cups/cups_job.h"
#include "emboss/print_run.h"
#include "embosser/pty_simulator.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace redadado::cups {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr const char* kQueue = "Embosser";
constexpr int kQuickPace = 2'560'000;

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct Shell {
  int status = -1;
  std::string out;  // standard output and error
};

Shell Sh(const std::string& command) {
  Shell result;
  std::FILE* pipe = ::popen((command + " 2>&1 </dev/null").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
  const int raw = ::pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

bool WaitFor(const std::function<bool()>& done, milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(milliseconds(50));
  }
  return true;
}

int FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  ::close(fd);
  return ntohs(address.sin_port);
}

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

std::string Sample(const char* name) {
  return std::string(REDADADO_SAMPLES_DIR) + "/" + name;
}

struct JobStatus {
  ipp_jstate_t state = IPP_JSTATE_PENDING;
  std::string message;
};

struct PrinterStatus {
  std::string message;
  std::vector<std::string> reasons;
};

class CupsQueue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    base_ = new test::TempDir;
    const fs::path& base = base_->path();
    // The scheduler runs the filter as an unprivileged user, who must reach the private tree.
    fs::permissions(base, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    const fs::path root = base / "root";
    const Shell install = Sh("DESTDIR=" + Quote(root.string()) + " " + Quote(REDADADO_CMAKE) +
                             " --install " + Quote(REDADADO_BUILD_DIR) + " --component cups");
    ASSERT_EQ(install.status, 0) << install.out;
    const fs::path serverBin = root.string() + REDADADO_CUPS_SERVERBIN;
    const fs::path dataDir = root.string() + REDADADO_CUPS_DATADIR;
    ppd_ = root.string() + REDADADO_CUPS_PPDDIR + "/redadado.ppd";
    // The scheduler's own helpers and the standard types come from the system, read-only.
    fs::create_directory_symlink(std::string(REDADADO_CUPS_SERVERBIN) + "/daemon",
                                 serverBin / "daemon");
    fs::create_symlink(std::string(REDADADO_CUPS_DATADIR) + "/mime/mime.types",
                       dataDir / "mime" / "mime.types");
    for (const char* dir : {"spool", "spool/temp", "log", "cache", "state"}) {
      fs::create_directories(base / dir);
    }
    port_ = FreeLoopbackPort();
    std::ofstream(base / "cupsd.conf") << "Listen 127.0.0.1:" << port_ << "\n"
                                       << "Browsing Off\nWebInterface No\nLogLevel info\n"
                                       << "DefaultAuthType None\n"
                                       << "<Policy default>\n<Limit All>\nOrder Allow,Deny\n"
                                       << "Allow all\n</Limit>\n</Policy>\n";
    std::ofstream(base / "cups-files.conf")
        << "ServerRoot " << base.string() << "\nStateDir " << (base / "state").string()
        << "\nCacheDir " << (base / "cache").string() << "\nServerBin " << serverBin.string()
        << "\nDataDir " << dataDir.string() << "\nRequestRoot " << (base / "spool").string()
        << "\nTempDir " << (base / "spool/temp").string() << "\nAccessLog "
        << (base / "log/access_log").string() << "\nErrorLog " << (base / "log/error_log").string()
        << "\nPageLog " << (base / "log/page_log").string() << "\nPrintcap "
        << (base / "state/printcap").string() << "\n";

    cupsd_ = ::fork();
    if (cupsd_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives the test
      const std::string conf = (base / "cupsd.conf").string();
      const std::string files = (base / "cups-files.conf").string();
      ::execl(REDADADO_CUPSD, "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
      ::_exit(127);
    }
    ASSERT_GT(cupsd_, 0);
    ASSERT_TRUE(WaitFor([] { return Accepts(port_); }, milliseconds(15000)))
        << test::ReadFile(base / "log/error_log");
    const std::string server = "127.0.0.1:" + std::to_string(port_);
    ::setenv("CUPS_SERVER", server.c_str(), 1);
    ::setenv("CUPS_SERVERROOT", base.c_str(), 1);
    uri_ = "redadado:" + (base / "embosser").string() + "?baud=256000";
    const Shell queue = Sh("REDADADO_PPD=" + Quote(ppd_) + " " + Quote(REDADADO_SOURCE_DIR) +
                           "/scripts/add-cups-queue " + kQueue + " " + Quote(uri_));
    ASSERT_EQ(queue.status, 0) << queue.out;
  }

  static void TearDownTestSuite() {
    if (cupsd_ > 0) {
      ::kill(cupsd_, SIGTERM);
      if (!WaitFor([] { return ::waitpid(cupsd_, nullptr, WNOHANG) == cupsd_; },
                   milliseconds(10000))) {
        ::kill(cupsd_, SIGKILL);
        ::waitpid(cupsd_, nullptr, 0);
      }
      cupsd_ = -1;
    }
    ::unsetenv("CUPS_SERVER");
    ::unsetenv("CUPS_SERVERROOT");
    delete base_;
    base_ = nullptr;
  }

  void TearDown() override {
    if (HasFailure() && base_ != nullptr) {
      std::cerr << "scheduler log:\n" << test::ReadFile(base_->path() / "log/error_log");
    }
  }

  // The embosser at the queue's device, with the line the URI asks for.
  std::unique_ptr<PtySimulator> StartEmbosser(SimulatorOptions options = {}) {
    options.link = base_->path() / "embosser";
    options.pictures = base_->path() / "sheets";
    options.line = ParseDeviceUri(uri_).target->line;
    if (options.paceBaud == 0) options.paceBaud = kQuickPace;
    std::string error;
    auto simulator = PtySimulator::Create(std::move(options), error);
    EXPECT_TRUE(simulator) << error;
    if (simulator) simulator->Start();
    return simulator;
  }

  // Sends `document` with `lp` and the given options; the job's id, or 0 when lp refused it.
  static int Lp(const std::string& options, const std::string& document,
                std::string* out = nullptr) {
    const Shell lp = Sh(std::string("lp -d ") + kQueue + " " + options + " " + Quote(document));
    if (out != nullptr) *out = lp.out;
    std::smatch match;
    if (lp.status != 0 ||
        !std::regex_search(lp.out, match, std::regex("request id is \\S+-(\\d+)"))) {
      return 0;
    }
    return std::stoi(match[1].str());
  }

  static JobStatus Job(int id) {
    JobStatus status;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (ipp_attribute_t* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM)) {
      status.state = static_cast<ipp_jstate_t>(ippGetInteger(state, 0));
    }
    if (ipp_attribute_t* text =
            ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT)) {
      status.message = ippGetString(text, 0, nullptr);
    }
    ippDelete(response);
    return status;
  }

  static PrinterStatus Printer() {
    PrinterStatus status;
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const std::string uri = std::string("ipp://localhost/printers/") + kQueue;
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (ipp_attribute_t* text = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT)) {
      status.message = ippGetString(text, 0, nullptr);
    }
    if (ipp_attribute_t* reasons =
            ippFindAttribute(response, "printer-state-reasons", IPP_TAG_KEYWORD)) {
      for (int i = 0; i < ippGetCount(reasons); ++i) {
        status.reasons.emplace_back(ippGetString(reasons, i, nullptr));
      }
    }
    ippDelete(response);
    return status;
  }

  // Waits until the job is neither pending nor processing.
  static JobStatus Settled(int id, milliseconds timeout = milliseconds(30000)) {
    JobStatus status;
    WaitFor(
        [&] {
          status = Job(id);
          return status.state != IPP_JSTATE_PENDING && status.state != IPP_JSTATE_PROCESSING;
        },
        timeout);
    return status;
  }

  // What `redadado-cli print` makes of the same document with the same options.
  std::vector<std::uint8_t> CliStream(const std::string& document,
                                      std::vector<std::string> options) {
    const fs::path out = base_->path() / "expected.bin";
    std::vector<std::string> args = {"print", document, "--output", out.string()};
    args.insert(args.end(), options.begin(), options.end());
    const test::CliResult cli = test::RunCli(args);
    EXPECT_EQ(cli.status, 0) << cli.err;
    return Bytes(test::ReadFile(out));
  }

  static std::vector<std::uint8_t> Received(PtySimulator& simulator, int session) {
    EXPECT_TRUE(simulator.WaitForSessions(session + 1, milliseconds(30000)));
    const auto sessions = simulator.Sessions();
    if (static_cast<int>(sessions.size()) <= session) return {};
    EXPECT_TRUE(sessions[static_cast<std::size_t>(session)].problems.empty())
        << sessions[static_cast<std::size_t>(session)].Summary();
    return sessions[static_cast<std::size_t>(session)].stream;
  }

  static test::TempDir* base_;
  static pid_t cupsd_;
  static int port_;
  static std::string uri_;
  static std::string ppd_;
};

test::TempDir* CupsQueue::base_ = nullptr;
pid_t CupsQueue::cupsd_ = -1;
int CupsQueue::port_ = 0;
std::string CupsQueue::uri_;
std::string CupsQueue::ppd_;

TEST_F(CupsQueue, BseAndBesJobsReachTheEmbosserAsTheToolMakesThem) {
  auto embosser = StartEmbosser();
  ASSERT_TRUE(embosser);
  const int bse = Lp("-n 2 -o page-ranges=2-3 -o redadado-dots=large-double", Sample("kaze.bse"));
  ASSERT_GT(bse, 0);
  EXPECT_EQ(Settled(bse).state, IPP_JSTATE_COMPLETED) << Job(bse).message;
  EXPECT_EQ(
      Received(*embosser, 0),
      CliStream(Sample("kaze.bse"), {"--copies", "2", "--pages", "2-3", "--dots", "large-double"}));

  const int bes = Lp("-n 2 -o page-ranges=1-2 -o redadado-dots=large-double -o redadado-side=front",
                     Sample("tenji.bes"));
  ASSERT_GT(bes, 0);
  EXPECT_EQ(Settled(bes).state, IPP_JSTATE_COMPLETED) << Job(bes).message;
  EXPECT_EQ(Received(*embosser, 1),
            CliStream(Sample("tenji.bes"), {"--copies", "2", "--pages", "1-2", "--dots",
                                            "large-double", "--side", "front"}));
  // The filter's page accounting reached the queue's page log.
  const std::string pageLog = test::ReadFile(base_->path() / "log/page_log");
  EXPECT_NE(pageLog.find("kaze.bse"), std::string::npos) << pageLog;
  EXPECT_NE(pageLog.find("tenji.bes"), std::string::npos) << pageLog;
}

TEST_F(CupsQueue, ADoubleSidedJobIsRefusedAndGoesAsFrontsAndBacks) {
  auto embosser = StartEmbosser();
  ASSERT_TRUE(embosser);
  const int both = Lp("", Sample("taketori.bse"));
  ASSERT_GT(both, 0);
  const JobStatus refused = Settled(both);
  EXPECT_EQ(refused.state, IPP_JSTATE_CANCELED);
  EXPECT_NE(refused.message.find("redadado-side=front"), std::string::npos) << refused.message;
  EXPECT_FALSE(embosser->WaitForSessions(1, milliseconds(300)));

  const int fronts = Lp("-o redadado-side=front", Sample("taketori.bse"));
  ASSERT_GT(fronts, 0);
  EXPECT_EQ(Settled(fronts).state, IPP_JSTATE_COMPLETED);
  EXPECT_EQ(Received(*embosser, 0), CliStream(Sample("taketori.bse"), {"--side", "front"}));
  const int backs = Lp("-o redadado-side=back", Sample("taketori.bse"));
  ASSERT_GT(backs, 0);
  EXPECT_EQ(Settled(backs).state, IPP_JSTATE_COMPLETED);
  EXPECT_EQ(Received(*embosser, 1), CliStream(Sample("taketori.bse"), {"--side", "back"}));
}

TEST_F(CupsQueue, TextAndRawJobsNeverReachTheEmbosser) {
  auto embosser = StartEmbosser();
  ASSERT_TRUE(embosser);
  const fs::path text = base_->Write("notes.txt", "not braille\n");
  std::string said;
  EXPECT_EQ(Lp("", text.string(), &said), 0);
  EXPECT_NE(said.find("document-format"), std::string::npos) << said;

  const int raw = Lp("-o raw", Sample("kaze.bse"));
  ASSERT_GT(raw, 0);
  const JobStatus rawEnd = Settled(raw);
  EXPECT_EQ(rawEnd.state, IPP_JSTATE_CANCELED);
  EXPECT_NE(rawEnd.message.find("raw"), std::string::npos) << rawEnd.message;

  // Forced to the BSE type, the text meets the header check.
  const int forced = Lp("-o document-format=application/x-redadado-bse", text.string());
  ASSERT_GT(forced, 0);
  const JobStatus forcedEnd = Settled(forced);
  EXPECT_EQ(forcedEnd.state, IPP_JSTATE_CANCELED);
  EXPECT_NE(forcedEnd.message.find(kUnsupportedLineCount), std::string::npos) << forcedEnd.message;
  // Nor may anyone send the embosser stream itself.
  EXPECT_EQ(Lp("-o document-format=application/x-redadado-embosser", Sample("kaze.bse")), 0);

  EXPECT_FALSE(embosser->WaitForSessions(1, milliseconds(300)));
  EXPECT_TRUE(embosser->Sessions().empty());
}

TEST_F(CupsQueue, CancelWhileTheEmbosserHoldsXoffEndsAtOnceAndTheNextJobPrints) {
  SimulatorOptions holding;
  holding.holdAfterBytes = 300;
  holding.holdFor = milliseconds(120000);  // out of paper
  auto embosser = StartEmbosser(holding);
  ASSERT_TRUE(embosser);
  const int job = Lp("-n 3 -o redadado-side=both-in-order", Sample("taketori.bse"));
  ASSERT_GT(job, 0);
  // The scheduler may publish the reason a moment before the message that follows it.
  PrinterStatus held;
  ASSERT_TRUE(WaitFor(
      [&] {
        held = Printer();
        return std::find(held.reasons.begin(), held.reasons.end(), "offline-report") !=
                   held.reasons.end() &&
               held.message == kEmbosserHeld;
      },
      milliseconds(30000)))
      << held.message;
  EXPECT_EQ(Job(job).state, IPP_JSTATE_PROCESSING);

  const auto cancelled = Clock::now();
  ASSERT_EQ(Sh("cancel " + std::to_string(job)).status, 0);
  ASSERT_TRUE(embosser->WaitForSessions(1, milliseconds(30000)));  // the port was closed
  EXPECT_LT(Clock::now() - cancelled, milliseconds(1000));
  EXPECT_EQ(Settled(job).state, IPP_JSTATE_CANCELED);
  embosser.reset();

  auto next = StartEmbosser();
  ASSERT_TRUE(next);
  const int again = Lp("", Sample("kaze.bse"));
  ASSERT_GT(again, 0);
  EXPECT_EQ(Settled(again).state, IPP_JSTATE_COMPLETED) << Job(again).message;
  EXPECT_EQ(Received(*next, 0), CliStream(Sample("kaze.bse"), {}));
  const PrinterStatus after = Printer();
  EXPECT_EQ(std::count(after.reasons.begin(), after.reasons.end(), "offline-report"), 0);
}

TEST_F(CupsQueue, AMissingOrVanishingDeviceKeepsTheJobForARetry) {
  // Nothing at the device: the job waits for a retry. Big enough to outgrow the terminal's
  // buffers, so that the device below goes away while the backend still sends.
  const int job = Lp("-n 8 -o redadado-side=both-in-order", Sample("taketori.bse"));
  ASSERT_GT(job, 0);
  const JobStatus missing = Settled(job);
  EXPECT_EQ(missing.state, IPP_JSTATE_HELD) << missing.message;
  EXPECT_NE(missing.message.find(kSerialOpenFailed), std::string::npos) << missing.message;

  // The device goes away in the middle: what went out is not a print.
  SimulatorOptions vanishing;
  vanishing.closeAfterBytes = 200;
  auto embosser = StartEmbosser(vanishing);
  ASSERT_TRUE(embosser);
  ASSERT_EQ(Sh("lp -i " + std::to_string(job) + " -H resume").status, 0);
  ASSERT_TRUE(embosser->WaitForSessions(1, milliseconds(30000)));
  const JobStatus cut = Settled(job);
  EXPECT_EQ(cut.state, IPP_JSTATE_HELD) << cut.message;
  EXPECT_NE(cut.message.find(kLinkFailedMessage), std::string::npos) << cut.message;
  embosser.reset();

  // Back again: the whole job prints.
  auto back = StartEmbosser();
  ASSERT_TRUE(back);
  ASSERT_EQ(Sh("lp -i " + std::to_string(job) + " -H resume").status, 0);
  EXPECT_EQ(Settled(job).state, IPP_JSTATE_COMPLETED) << Job(job).message;
  EXPECT_EQ(Received(*back, 0),
            CliStream(Sample("taketori.bse"), {"--copies", "8", "--side", "both-in-order"}));
}

// The filter on its own, as CUPS calls it with the document on standard input.
TEST(CupsFilter, ReadsStandardInputAndRefusesWithAReasonTheBackendPassesOn) {
  test::TempDir dir;
  const std::string filter = Quote(REDADADO_FILTER_PATH);
  const auto cli = [&](const char* document, std::vector<std::string> options) {
    std::vector<std::string> args = {"print", Sample(document), "--output",
                                     (dir / "cli.bin").string()};
    args.insert(args.end(), options.begin(), options.end());
    EXPECT_EQ(test::RunCli(args).status, 0);
    return test::ReadFile(dir / "cli.bin");
  };
  // Inside parentheses, so that the command's own redirections stand.
  const Shell bse = Sh("(" + filter + " 7 user kaze 2 'redadado-dots=large' < " +
                       Quote(Sample("kaze.bse")) + " 2>/dev/null)");
  EXPECT_EQ(bse.status, 0);
  EXPECT_EQ(bse.out, cli("kaze.bse", {"--copies", "2", "--dots", "large"}));
  const Shell bes =
      Sh("(CONTENT_TYPE=application/x-redadado-bes " + filter +
         " 7 user tenji 1 'redadado-side=front' < " + Quote(Sample("tenji.bes")) + " 2>/dev/null)");
  EXPECT_EQ(bes.out, cli("tenji.bes", {"--side", "front"}));
  // The back-side question cannot be asked: a refusal with the reason, and no stream.
  const Shell both = Sh("(" + filter + " 7 user taketori 1 '' < " + Quote(Sample("taketori.bse")) +
                        " 2>/dev/null)");
  EXPECT_EQ(both.status, 0);
  EXPECT_EQ(both.out, std::string(kRefusalMark) + kBackSideRefused + "\n");
  // A backend that goes away mid-stream has said why: the filter adds no reason of its own and
  // leaves the job's fate to the backend's exit status. The stream outgrows the pipe, so the
  // write fails however quickly the reader goes.
  const Shell gone = Sh("{ (" + filter + " 7 user taketori 30 'redadado-side=both-in-order' < " +
                        Quote(Sample("taketori.bse")) + " 2>&3; echo \"exit $?\" >&3) | :; } 3>&1");
  EXPECT_EQ(gone.out.find("ERROR:"), std::string::npos) << gone.out;
  EXPECT_TRUE(gone.out.ends_with("exit 0\n")) << gone.out;
  const Shell usage = Sh(filter + " 7 user");
  EXPECT_EQ(usage.status, 1);
  EXPECT_NE(usage.out.find("Usage:"), std::string::npos);
}

// A measurement, not a check: bench/cups/measure-lp-to-last-byte runs it. The embosser takes
// bytes at the line's own speed, 256000 baud.
TEST_F(CupsQueue, DISABLED_MeasureLpToLastByte) {
  SimulatorOptions lineSpeed;
  lineSpeed.paceBaud = 256000;
  auto embosser = StartEmbosser(lineSpeed);
  ASSERT_TRUE(embosser);
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    ASSERT_GT(Lp("-o redadado-side=front", Sample("taketori.bse")), 0);
    const std::size_t bytes = Received(*embosser, run).size();
    const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::cout << "lp to last byte: " << elapsed << " ms for " << bytes << " bytes" << std::endl;
  }
}

}  // namespace
}  // namespace redadado::cups
