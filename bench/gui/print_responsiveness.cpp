// How long the application keeps the user waiting during a print through the windows into the
// pseudo-terminal embosser, while the bytes flow at an embosser's pace and while the embosser
// holds Xoff: the delay of a call posted from another thread (the way the accessibility bus's
// calls reach the windows) and of a repaint asked for then. bench/gui/measure-print-responsiveness
// runs it under a private display and accessibility bus and asks the bus from another process
// meanwhile; run alone, it measures in-process only.
//
// Usage: print_responsiveness_bench [--wait-for-go]
//   --wait-for-go: start printing once a line arrives on standard input (the prober is ready).
// Prints "phase NAME BEGIN END" (CLOCK_MONOTONIC seconds, for the prober) and the figures of each
// phase: median and worst delay, how much of the worst the window thread waited for a processor
// (on a busy machine, the machine's part) and the worst delay less such waits.

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "base/file_chooser.h"
#include "emboss/serial_link.h"
#include "embosser/pty_simulator.h"
#include "gui/accessibility.h"
#include "gui/escape_notice.h"
#include "gui/main_window.h"
#include "gui/progress_window.h"
#include "gui/resume_dialog.h"
#include "gui/settings_dialog.h"

namespace redadado {
namespace {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC, as the prober's time.monotonic()
using std::chrono::milliseconds;

constexpr int kBaudIndex = 12;  // 115200 baud, the pace of the screen-reader test's embosser
constexpr milliseconds kSampleInterval(10);

double Seconds(Clock::time_point t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Every question answered Yes or OK: the print starts, the back side follows, and a hold with
// Esc pending is given up.
class AnswerYes : public Messages {
 public:
  MessageAnswer Show(const std::string&, const std::string&, MessageIcon,
                     MessageButtons buttons) override {
    return buttons == MessageButtons::kOk || buttons == MessageButtons::kOkCancel
               ? MessageAnswer::kOk
               : MessageAnswer::kYes;
  }
};

class NoChooser : public FileChooser {
 public:
  std::optional<std::string> ChooseFile(const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

struct Sample {
  Clock::time_point at;
  double delayMs;
  double queuedMs;  // of the delay, the window thread's waits for a processor
};

// A point in the time a thread has waited for a processor (the scheduler's run delay).
struct Moment {
  Clock::time_point at;
  std::uint64_t runDelayNs;
};

// The scheduler's account of one thread: its time on a processor, then its time waiting for one.
class ThreadClock {
 public:
  ThreadClock() : path_("/proc/self/task/" + std::to_string(gettid()) + "/schedstat") {}
  Moment Now() const {
    const Clock::time_point now = Clock::now();
    std::uint64_t running = 0;
    std::uint64_t waiting = 0;
    if (std::FILE* file = std::fopen(path_.c_str(), "r")) {
      if (std::fscanf(file, "%" SCNu64 " %" SCNu64, &running, &waiting) != 2) waiting = 0;
      std::fclose(file);
    }
    return {now, waiting};
  }
  Sample Since(const Moment& from) const {
    const Moment now = Now();
    return {now.at, Milliseconds(now.at - from.at),
            static_cast<double>(now.runDelayNs - std::min(now.runDelayNs, from.runDelayNs)) / 1e6};
  }

 private:
  std::string path_;
};

// Posts a call to the window thread every few milliseconds from a thread of its own and notes
// how long each waited; each call asks for a repaint of `painted`, whose delay is noted from the
// post of the call that asked until the paint. Either notes how much of that the window thread
// waited for a processor: on a busy machine that is the machine's part, not the windows'.
class Sampler : public QObject {
 public:
  explicit Sampler(QWidget* painted) : painted_(painted) {
    painted_->installEventFilter(this);
    thread_ = std::thread([this] { Post(); });
  }
  ~Sampler() override {
    stop_ = true;
    thread_.join();
  }
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  std::vector<Sample> calls;
  std::vector<Sample> repaints;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && repaintAsked_) {
      repaints.push_back(windowThread_.Since(*repaintAsked_));
      repaintAsked_.reset();
    }
    return false;
  }

 private:
  void Post() {
    while (!stop_) {
      const Moment posted = windowThread_.Now();
      QMetaObject::invokeMethod(
          this,
          [this, posted] {
            calls.push_back(windowThread_.Since(posted));
            if (!repaintAsked_) repaintAsked_ = posted;
            painted_->update();
          },
          Qt::QueuedConnection);
      std::this_thread::sleep_for(kSampleInterval);
    }
  }

  QWidget* painted_;
  const ThreadClock windowThread_;  // made on the window thread
  std::optional<Moment> repaintAsked_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// "median 4.20 ms, max 13.10 ms (0.40 ms of it waiting for a processor), at most 12.90 ms
// without those waits, 500 samples"
std::string Figures(const std::vector<Sample>& samples, Clock::time_point begin,
                    Clock::time_point end) {
  std::vector<Sample> within;
  double ownMax = 0;
  for (const Sample& sample : samples) {
    if (sample.at < begin || sample.at > end) continue;
    within.push_back(sample);
    ownMax = std::max(ownMax, sample.delayMs - sample.queuedMs);
  }
  if (within.empty()) return "no samples";
  std::sort(within.begin(), within.end(),
            [](const Sample& a, const Sample& b) { return a.delayMs < b.delayMs; });
  char text[200];
  std::snprintf(text, sizeof text,
                "median %5.2f ms, max %6.2f ms (%.2f ms of it waiting for a processor), at most "
                "%.2f ms without those waits, %zu samples",
                within[within.size() / 2].delayMs, within.back().delayMs, within.back().queuedMs,
                ownMax, within.size());
  return text;
}

struct Scenario {
  const char* name;
  int copies;
  std::size_t holdAfterBytes;  // 0: the embosser never holds beyond its own flow control
  milliseconds escapeAfter;    // while held: Esc, and the hold given up
  milliseconds settle;         // from the click until the phase being measured begins
};

class Bench {
 public:
  explicit Bench(const std::filesystem::path& directory)
      : directory_(directory), session_{AppPaths(directory)} {
    session_.settings.values[Settings::kBaudRate] = kBaudIndex;
    form_.AttachWindows(&settings_, &escape_, &progress_, &resume_);
    form_.SetHoldPatience(milliseconds(200));
    form_.show();
  }

  void Run() {
    // Bytes flowing at the embosser's pace, its own Xon/Xoff included; then an embosser that
    // holds Xoff early in the first page until Esc gives the run up. That print is longer than
    // the terminal's buffers hold, so that it cannot slip past the hold while the embosser's
    // thread waits for the processor.
    Measure({"flowing", 16, 0, milliseconds(0), milliseconds(0)});
    Measure({"held", 32, 2000, milliseconds(6000), milliseconds(1000)});
  }

 private:
  void Measure(const Scenario& scenario) {
    SimulatorOptions options;
    options.link = directory_ / "COM1";
    options.pictures = directory_ / "sheets";
    options.line = *LineParametersFor(session_.settings).parameters;
    options.holdAfterBytes = scenario.holdAfterBytes;
    options.holdFor = milliseconds(scenario.holdAfterBytes > 0 ? 600000 : 0);
    std::string error;
    const std::unique_ptr<PtySimulator> simulator = PtySimulator::Create(options, error);
    if (!simulator) {
      std::printf("%s: %s\n", scenario.name, error.c_str());
      return;
    }
    simulator->Start();
    session_.document.path = std::string(REDADADO_SAMPLES_DIR) + "/taketori.bse";
    form_.copiesUpDown->SetPosition(scenario.copies);
    Clock::time_point escaped = Clock::time_point::max();
    QTimer escape;  // goes with this print, should it end before
    escape.setSingleShot(true);
    QObject::connect(&escape, &QTimer::timeout, [this, &escaped] {
      escaped = Clock::now();
      session_.run.PressEscape();
    });
    if (scenario.escapeAfter.count() > 0) escape.start(scenario.escapeAfter);
    const Clock::time_point clicked = Clock::now();
    form_.printButton->click();
    const Clock::time_point begin = clicked + scenario.settle;
    const Clock::time_point end = std::min(Clock::now(), escaped);
    simulator->WaitForSessions(1, milliseconds(30000));
    const std::vector<SimulatorSession> sessions = simulator->Sessions();
    const std::size_t received = sessions.empty() ? 0 : sessions.front().stream.size();

    std::printf("phase %s %.6f %.6f\n", scenario.name, Seconds(begin), Seconds(end));
    std::printf("%-8s %.1f s measured, %zu bytes at the embosser\n", scenario.name,
                std::chrono::duration<double>(end - begin).count(), received);
    std::printf("%-8s call from another thread: %s\n", scenario.name,
                Figures(sampler_.calls, begin, end).c_str());
    std::printf("%-8s repaint:                  %s\n", scenario.name,
                Figures(sampler_.repaints, begin, end).c_str());
    std::fflush(stdout);
  }

  std::filesystem::path directory_;
  Session session_;
  AnswerYes messages_;
  NoChooser chooser_;
  MainWindow form_{session_, messages_, chooser_};
  SettingsDialog settings_{session_, &form_};
  EscapeNotice escape_;
  ProgressWindow progress_{session_};
  ResumeDialog resume_{session_, &form_};
  // A small control of the main window, always on screen, stands for every repaint.
  Sampler sampler_{form_.printButton};
};

}  // namespace
}  // namespace redadado

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  redadado::InstallAccessibility(application);
  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() / "redadado-responsiveness-bench";
  std::filesystem::remove_all(directory);
  std::filesystem::create_directories(directory);
  int status = 0;
  {
    redadado::Bench bench(directory);
    const auto run = [&bench] {
      bench.Run();
      QApplication::quit();
    };
    QSocketNotifier go(0, QSocketNotifier::Read);
    if (QApplication::arguments().contains("--wait-for-go")) {
      std::printf("ready\n");
      std::fflush(stdout);
      QObject::connect(&go, &QSocketNotifier::activated, &go, [&go, run] {
        go.setEnabled(false);
        run();
      });
    } else {
      go.setEnabled(false);
      QTimer::singleShot(0, run);
    }
    status = QApplication::exec();
  }
  std::filesystem::remove_all(directory);
  return status;
}
