#include <benchmark/benchmark.h>

#include <QApplication>
#include <atomic>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <string>

#include "base/file_chooser.h"
#include "emboss/memory_sink.h"
#include "emboss/print_run.h"
#include "gui/escape_notice.h"
#include "gui/main_window.h"
#include "gui/progress_window.h"
#include "gui/resume_dialog.h"
#include "gui/settings_dialog.h"

// Printing through the windows, as a user does with the print button: the progress window is
// shown and events are pumped before every byte, through the real serial link into a
// pseudo-terminal.

namespace redadado {
namespace {

constexpr int kCopies = 20;

class AnswerYes : public Messages {
 public:
  MessageAnswer Show(const std::string&, const std::string&, MessageIcon,
                     MessageButtons buttons) override {
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
  }
};

class NoChooser : public FileChooser {
 public:
  std::optional<std::string> ChooseFile(const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

void BM_PrintButtonIntoPseudoTerminal(benchmark::State& state) {
  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() / "redadado-window-bench";
  std::filesystem::create_directories(directory);
  Session session{AppPaths(directory)};
  session.settings.values[Settings::kBaudRate] = 14;  // 256000 baud
  AnswerYes messages;
  NoChooser chooser;
  MainWindow form(session, messages, chooser);
  SettingsDialog settings(session);
  EscapeNotice escape;
  ProgressWindow progress(session);
  ResumeDialog resume(session);
  form.AttachWindows(&settings, &escape, &progress, &resume);
  form.show();

  // The far end drains the terminal as fast as it can (no flow control of its own), so what
  // is measured is the windows' cost per byte, not an embosser's pace.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  std::filesystem::remove(directory / "COM1");
  std::filesystem::create_symlink(ptsname(master), directory / "COM1");
  std::atomic<bool> stop{false};
  std::thread drain([master, &stop] {
    char buffer[65536];
    while (!stop) {
      // Before the link opens the slave, reading fails with EIO: wait for it.
      pollfd fd{master, POLLIN, 0};
      if (poll(&fd, 1, 20) > 0 && read(master, buffer, sizeof buffer) < 0) poll(nullptr, 0, 5);
    }
  });

  session.document.path = std::string(REDADADO_SAMPLES_DIR) + "/taketori.bse";
  form.copiesUpDown->SetPosition(kCopies);
  // The stream of one run, from the same controls without windows or link.
  MemorySink memory;
  NoWindowsPrintUi quiet;
  PrintDocument(session.document.path, session.run, form, quiet, messages, memory, /*quiet=*/true);
  for (auto _ : state) form.printButton->click();
  state.SetBytesProcessed(static_cast<std::int64_t>(memory.bytes.size()) * state.iterations());
  state.counters["bytes_per_run"] = static_cast<double>(memory.bytes.size());
  stop = true;
  drain.join();
  close(master);
}
BENCHMARK(BM_PrintButtonIntoPseudoTerminal)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
}  // namespace redadado

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
