#include <csignal>

#include "cli/cli_common.h"
#include "cli/program_entry.h"

namespace redadado::cli {
namespace {

volatile std::sig_atomic_t stopSignal = 0;

void OnStop(int signal) {
  stopSignal = signal;
}

}  // namespace

int StopSignal() {
  return stopSignal;
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStop;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocked write returns, and the step behind it sees the mark.
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);  // a reader that went away is a failed write, not a crash
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareStandardStreams() {}

}  // namespace redadado::cli
