#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/file_chooser.h"
#include "emboss/print_test_support.h"
#include "embosser/pty_simulator.h"
#include "gui/escape_notice.h"
#include "gui/main_window.h"
#include "gui/progress_window.h"
#include "gui/resume_dialog.h"
#include "gui/settings_dialog.h"
#include "speech/recording_reader.h"
#include "support/temp_dir.h"
#include "workflow/session.h"

namespace redadado::test {

// Message boxes answered from a script; `onShow` runs as each box comes up (with its text),
// before the answer, so a test can act in the middle of a run.
class WindowMessages : public ScriptedMessages {
 public:
  std::function<void(const std::string& text)> onShow;
  MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                     MessageButtons buttons) override;
};

// File dialogs answered from a queue: a path, or nothing for Cancel. An empty queue cancels.
class ScriptedChooser : public FileChooser {
 public:
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> titles;
  std::optional<std::string> ChooseFile(const std::string& title,
                                        const std::string& filter) override;
};

// The application's windows on a fresh session in a temporary application directory, created in
// the entry's order and shown. The serial line runs at the top baud rate; COM1 is the link a
// simulator puts in the application directory.
struct WindowFixture {
  TempDir dir;
  Session session{AppPaths(dir.path())};
  WindowMessages messages;
  ScriptedChooser chooser;
  RecordingRoutes readers;  // with a notification route, as on Windows
  MainWindow form{session, messages, chooser, readers.RoutesWithNotifications()};
  SettingsDialog settings{session};
  EscapeNotice escape;
  ProgressWindow progress{session};
  ResumeDialog resume{session};

  WindowFixture();

  // A pseudo-terminal embosser at the application directory's COM1.
  std::unique_ptr<PtySimulator> StartSimulator(SimulatorOptions options = {});
  // The one session the simulator saw after the port was closed.
  static SimulatorSession OnlySession(PtySimulator& simulator);
  // Runs `action` every few milliseconds from the event loop (also from a print run's pumps)
  // until it returns true.
  void Repeat(std::function<bool()> action);
};

// What redadado-cli print writes for `args` (the document and its options), for comparing.
std::vector<std::uint8_t> CliStream(const TempDir& dir, std::vector<std::string> args);

std::string Sample(const char* name);

}  // namespace redadado::test
