// redadado: the CUPS backend that sends the filter's stream over the project's serial link.
// With no arguments it lists the serial ports it sees; otherwise CUPS calls it as
// job-id user title copies options [file], with the queue's device URI in DEVICE_URI.

#include <cups/backend.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "cups/cups_job.h"
#include "emboss/print_run.h"

namespace redadado::cups {
namespace {

volatile std::sig_atomic_t cancelled = 0;

void OnTerminate(int) {
  cancelled = 1;
}

// Held output is normal pacing for a moment; this long, the embosser has stopped taking data.
constexpr std::chrono::seconds kHoldReportAfter{5};

constexpr const char* kSending = "点字プリンターに送信しています。";

// Reads the next piece of the job; 0 at its end or once the job is cancelled, -1 on failure.
ssize_t ReadInput(int fd, char* buffer, std::size_t size) {
  while (cancelled == 0) {
    // Short waits, so that a cancel is seen even when it came just before the read.
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) == 0) continue;
    const ssize_t got = ::read(fd, buffer, size);
    if (got >= 0) return got;
    if (errno != EINTR && errno != EAGAIN) return -1;
  }
  return 0;
}

int Print(int argc, char** argv) {
  const char* uriVariable = std::getenv("DEVICE_URI");
  const std::string uri = uriVariable != nullptr ? uriVariable : argv[0];
  const DeviceUriResult device = ParseDeviceUri(uri);
  if (!device.target) {
    Status("ERROR", device.reason);
    return CUPS_BACKEND_STOP;  // the queue is set up wrongly; its jobs wait
  }
  // Only the filter's stream may reach the embosser: never a raw job or another format.
  const char* type = std::getenv("FINAL_CONTENT_TYPE");
  if (type == nullptr || std::string(type) != kEmbosserStreamType) {
    Status("ERROR",
           "この印刷キューは Redadado のフィルターを通したデータだけを点字プリンターに送ります。"
           "BSE か BES の文書を、raw にせずに送ってください。");
    return CUPS_BACKEND_CANCEL;
  }
  const int input = argc == 7 ? ::open(argv[6], O_RDONLY | O_CLOEXEC) : STDIN_FILENO;
  if (input < 0) {
    Status("ERROR", std::string("印刷データを開けませんでした: ") + argv[6]);
    return CUPS_BACKEND_FAILED;
  }
  Status("STATE", "-offline-report");  // a hold an earlier job left reported
  char buffer[4096];
  ssize_t got = ReadInput(input, buffer, sizeof buffer);
  if (cancelled != 0) return CUPS_BACKEND_OK;
  if (got < 0) {
    Status("ERROR", "印刷データを読めませんでした。");
    return CUPS_BACKEND_FAILED;
  }
  if (got == 0) return CUPS_BACKEND_CANCEL;  // the filter failed and said why
  const std::string_view start(buffer, static_cast<std::size_t>(got));
  if (start.starts_with(kRefusalMark)) {
    // The filter refused the document: nothing is sent and the job ends with its reason.
    std::string reason(start.substr(kRefusalMark.size()));
    while ((got = ReadInput(input, buffer, sizeof buffer)) > 0) {
      reason.append(buffer, static_cast<std::size_t>(got));
    }
    Status("ERROR", reason.substr(0, reason.find('\n')));
    return CUPS_BACKEND_CANCEL;
  }

  bool holdReported = false;
  std::string error;
  const std::string path = PortDevice(AppPaths::ForExecutable(), device.target->port);
  std::unique_ptr<SerialLink> link = OpenPort(
      path, device.target->line,
      [&holdReported](std::chrono::milliseconds held) {
        if (cancelled != 0) return false;
        if (!holdReported && held >= kHoldReportAfter) {
          holdReported = true;
          Status("STATE", "+offline-report");
          Status("INFO", kEmbosserHeld);
        }
        return true;
      },
      error);
  if (!link) {
    // Not there (unplugged, switched off) or busy: the queue tries the job again later.
    Status("ERROR", std::string(kSerialOpenFailed) + " " + error);
    return CUPS_BACKEND_RETRY;
  }
  // A hold is reported and a cancel always ends it, so closing may wait as long as it takes.
  link->SetCloseStallLimit(std::chrono::hours(24 * 365));
  Status("INFO", kSending);
  bool sent = true;
  while (got > 0 && sent) {
    for (ssize_t i = 0; i < got && sent; ++i) {
      sent = link->Put(static_cast<std::uint8_t>(buffer[i]));
      if (holdReported && sent) {
        holdReported = false;
        Status("STATE", "-offline-report");
        Status("INFO", kSending);
      }
    }
    if (sent) got = ReadInput(input, buffer, sizeof buffer);
  }
  const bool closed = link->Close();
  if (holdReported) Status("STATE", "-offline-report");
  if (cancelled != 0) return CUPS_BACKEND_OK;  // the job is cancelled whatever we say
  if (!sent || !closed) {
    // The device went away in the middle: what went out is no print; the job is tried again.
    Status("ERROR", std::string(kLinkFailedMessage) + " " + FailureText(link->Failure()));
    return CUPS_BACKEND_RETRY;
  }
  if (got < 0) {
    Status("ERROR", "印刷データを読めませんでした。");
    return CUPS_BACKEND_FAILED;
  }
  Status("INFO", "送信が終わりました。");
  return CUPS_BACKEND_OK;
}

}  // namespace
}  // namespace redadado::cups

int main(int argc, char** argv) {
  if (argc == 1) {
    for (const std::string& line : redadado::cups::DiscoveryLines("/dev", "/sys/class/tty")) {
      std::cout << line << '\n';
    }
    return CUPS_BACKEND_OK;
  }
  if (argc < 6 || argc > 7) {
    std::cerr << "Usage: redadado job-id user title copies options [file]\n";
    return CUPS_BACKEND_FAILED;
  }
  struct sigaction action {};
  action.sa_handler = redadado::cups::OnTerminate;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  return redadado::cups::Print(argc, argv);
}
