#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// After windows.h, which it builds on.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <csignal>
#include <cstdio>

#include "base/file_paths.h"
#include "cli/cli_common.h"
#include "cli/program_entry.h"

namespace redadado::cli {
namespace {

volatile LONG stopSignal = 0;

BOOL WINAPI OnConsoleControl(DWORD event) {
  InterlockedExchange(&stopSignal, event == CTRL_C_EVENT ? SIGINT : SIGTERM);
  return TRUE;
}

}  // namespace

int StopSignal() {
  return static_cast<int>(InterlockedCompareExchange(&stopSignal, 0, 0));
}

void CatchStopSignals() {
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

std::vector<std::string> Utf8Arguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8FromPath(std::filesystem::path(wide[i])));
  LocalFree(wide);
  return args;
}

void PrepareStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
}

}  // namespace redadado::cli
