#pragma once

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
#include "support/shell.h"
#include "support/temp_dir.h"

namespace redadado::cups {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

inline constexpr const char* kQueue = "Embosser";
inline constexpr int kQuickPace = 2'560'000;

using test::Quote;
using test::Sh;
using test::Shell;

inline bool WaitFor(const std::function<bool()>& done, milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(milliseconds(50));
  }
  return true;
}

inline int FreeLoopbackPort() {
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

inline bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

inline std::string Sample(const char* name) {
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

  inline static test::TempDir* base_ = nullptr;
  inline static pid_t cupsd_ = -1;
  inline static int port_ = 0;
  inline static std::string uri_;
  inline static std::string ppd_;
};

}  // namespace redadado::cups
