#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include "base/messages.h"
#include "emboss/serial_link.h"
#include "workflow/session.h"

namespace redadado {
namespace {

constexpr int kFastBaudIndex = 14;  // 256000 baud
constexpr std::int64_t kBytesPerIteration = 1 << 20;

class YesMessages : public Messages {
 public:
  MessageAnswer Show(const std::string&, const std::string&, MessageIcon, MessageButtons) override {
    return MessageAnswer::kOk;
  }
};

// Drains the master side of a pseudo-terminal as fast as it can, so the link's own cost per byte
// (one write and one event pump) is what gets measured rather than the line rate.
class PtyReader {
 public:
  explicit PtyReader(int master) : master_(master), thread_([this] { Run(); }) {}
  ~PtyReader() {
    stop_ = true;
    thread_.join();
  }
  PtyReader(const PtyReader&) = delete;
  PtyReader& operator=(const PtyReader&) = delete;

  std::int64_t Received() const { return received_; }

 private:
  void Run() {
    char buffer[65536];
    while (!stop_) {
      pollfd fd{master_, POLLIN, 0};
      if (poll(&fd, 1, 20) <= 0) continue;
      const ssize_t got = read(master_, buffer, sizeof buffer);
      if (got > 0) received_ += got;
    }
  }

  int master_;
  std::atomic<bool> stop_{false};
  std::atomic<std::int64_t> received_{0};
  std::thread thread_;
};

// Bytes per second through the real serial link into a pseudo-terminal, with the windows' event
// pump run before every byte.
void BM_SerialLinkThroughput(benchmark::State& state) {
  int argc = 1;
  char name[] = "serial_link_bench";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);

  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  const std::string slave = ptsname(master);
  const auto directory = std::filesystem::temp_directory_path() / "redadado-serial-bench";
  std::filesystem::create_directories(directory);
  Session session{AppPaths(directory)};
  session.settings.values[Settings::kBaudRate] = kFastBaudIndex;
  YesMessages messages;
  std::int64_t sent = 0;
  {
    PtyReader reader(master);
    auto link = OpenSerialLink(
        session.settings, session.paths, messages,
        [](auto) {
          QCoreApplication::processEvents();
          return true;
        },
        slave);
    if (!link) {
      state.SkipWithError("the serial link did not open");
    } else {
      const std::uint8_t xon = kXon;
      if (write(master, &xon, 1) != 1) state.SkipWithError("could not send Xon");
      bool ok = true;
      for (auto _ : state) {
        for (std::int64_t i = 0; i < kBytesPerIteration && ok; ++i) {
          ok = link->Put(static_cast<std::uint8_t>(i & 0x7F));
        }
        if (!ok) {
          state.SkipWithError(FailureText(link->Failure()).c_str());
          break;
        }
        sent += kBytesPerIteration;
      }
      link.reset();
      // Closing drains what is still queued; let the reader take the last of it.
      for (int wait = 0; wait < 100 && reader.Received() < sent; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      state.counters["received"] = static_cast<double>(reader.Received());
    }
  }
  close(master);
  state.SetBytesProcessed(sent);
  std::filesystem::remove_all(directory);
}
BENCHMARK(BM_SerialLinkThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace redadado
