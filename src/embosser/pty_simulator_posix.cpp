#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "base/system_reason.h"
#include "emboss/serial_baud_posix.h"
#include "embosser/pty_simulator.h"

namespace redadado {

namespace {

constexpr int kPollSliceMs = 5;

std::string SystemError(const std::string& what) {
  return what + ": " + ErrnoReasonText(errno);
}

}  // namespace

std::string SimulatorSession::Summary() const {
  std::string text = "接続 " + std::to_string(number) + ": " + std::to_string(stream.size()) +
                     " バイト受信、" + outcome.text;
  for (const std::string& problem : problems) text += "\n  " + problem;
  return text;
}

PtySimulator::PtySimulator(SimulatorOptions options) : options_(std::move(options)) {}

std::unique_ptr<PtySimulator> PtySimulator::Create(SimulatorOptions options, std::string& error) {
  std::unique_ptr<PtySimulator> simulator(new PtySimulator(std::move(options)));
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) {
    error = SystemError("擬似端末を作れませんでした");
    return nullptr;
  }
  simulator->master_ = master;
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    error = SystemError("擬似端末を使えるようにできませんでした");
    return nullptr;
  }
  char name[128];
  if (::ptsname_r(master, name, sizeof name) != 0) {
    error = SystemError("擬似端末の名前が分かりませんでした");
    return nullptr;
  }
  simulator->devicePath_ = name;
  const int flags = ::fcntl(master, F_GETFL);
  ::fcntl(master, F_SETFL, flags | O_NONBLOCK);

  const std::filesystem::path& link = simulator->options_.link;
  std::error_code fsError;
  const auto status = std::filesystem::symlink_status(link, fsError);
  if (status.type() == std::filesystem::file_type::symlink) {
    // Only a link to a pseudo-terminal can be an earlier simulator's; any other (COM1 ->
    // /dev/ttyUSB0) is the user's own and stays.
    const std::filesystem::path target = std::filesystem::read_symlink(link, fsError);
    if (!target.string().starts_with("/dev/pts/")) {
      error = link.string() + " は既にあり、" + target.string() +
              " を指しているので置き換えません。--link で別の場所を指定してください。";
      return nullptr;
    }
    std::filesystem::remove(link, fsError);
  } else if (status.type() != std::filesystem::file_type::not_found) {
    error = link.string() + " は既にあり、リンクではないので置き換えません。";
    return nullptr;
  }
  std::filesystem::create_symlink(simulator->devicePath_, link, fsError);
  if (fsError) {
    error = "リンクを作れませんでした: " + link.string() + ": " + ErrorCodeReasonText(fsError);
    return nullptr;
  }
  return simulator;
}

PtySimulator::~PtySimulator() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (master_ >= 0) ::close(master_);
  std::error_code error;
  if (!devicePath_.empty() && std::filesystem::is_symlink(options_.link, error) &&
      std::filesystem::read_symlink(options_.link, error) == devicePath_) {
    std::filesystem::remove(options_.link, error);
  }
}

void PtySimulator::OnSession(std::function<void(const SimulatorSession&)> callback) {
  std::lock_guard lock(mutex_);
  onSession_ = std::move(callback);
}

void PtySimulator::Start() {
  thread_ = std::thread([this] { Run(); });
}

bool PtySimulator::WaitForSessions(int count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return ended_.wait_for(lock, timeout,
                         [&] { return static_cast<int>(sessions_.size()) >= count; });
}

std::vector<SimulatorSession> PtySimulator::Sessions() const {
  std::lock_guard lock(mutex_);
  return sessions_;
}

void PtySimulator::SendFlow(std::uint8_t byte) {
  if (master_ < 0) return;
  // The master never fills up with our few flow bytes; a failure means the slave is gone.
  [[maybe_unused]] const ssize_t written = ::write(master_, &byte, 1);
  xoffSent_ = byte == kXoff;
}

void PtySimulator::BeginSession() {
  inSession_ = true;
  current_ = SimulatorSession{};
  {
    std::lock_guard lock(mutex_);
    current_.number = static_cast<int>(sessions_.size()) + 1;
  }
  current_.firstSide = nextSide_;
  embosser_ = std::make_unique<VirtualEmbosser>(options_.pictures, nextSide_);
  buffered_ = 0;
  lineChecked_ = false;
  holdDone_ = false;
  holdUntil_ = {};
  // A pty keeps an Xoff it received across openings: release the new session.
  SendFlow(kXon);
}

void PtySimulator::EndSession() {
  if (!inSession_) return;
  inSession_ = false;
  current_.outcome = embosser_->Finish();
  nextSide_ += current_.outcome.sheetSides;
  embosser_.reset();
  std::function<void(const SimulatorSession&)> callback;
  {
    std::lock_guard lock(mutex_);
    sessions_.push_back(current_);
    callback = onSession_;
  }
  ended_.notify_all();
  if (callback) callback(current_);
}

// Compares the terminal settings the application made with the embosser's line.
void PtySimulator::CheckLine() {
  lineChecked_ = true;
  termios t{};
  if (::tcgetattr(master_, &t) != 0) {
    current_.problems.push_back(SystemError("端末の設定を読めませんでした"));
    return;
  }
  const LineParameters& line = options_.line;
  auto& problems = current_.problems;
  const auto differs = [&](const std::string& what, const std::string& got,
                           const std::string& expected) {
    if (got != expected)
      problems.push_back(what + "が違います: " + got + "（本機は " + expected + "）");
  };
  const int baud = ReadBaudRate(master_);
  differs("ボーレート", std::to_string(baud), std::to_string(line.baudRate));
  // A pseudo-terminal forces CS8 without parity whatever the far end sets: not checked.
  if (line.stopBits) {
    const bool two = (t.c_cflag & CSTOPB) != 0;
    const bool expectedTwo = *line.stopBits != StopBits::kOne;
    differs("ストップビット", two ? "CSTOPB あり" : "CSTOPB なし",
            expectedTwo ? "CSTOPB あり" : "CSTOPB なし");
  }
  if (line.xonXoff) {
    const bool xon = (t.c_iflag & IXON) != 0 && (t.c_iflag & IXOFF) != 0 &&
                     (t.c_iflag & IXANY) == 0 && t.c_cc[VSTART] == kXon && t.c_cc[VSTOP] == kXoff;
    differs("フロー制御", xon ? "Xon/Xoff" : "Xon/Xoff 以外", "Xon/Xoff");
  }
  const bool raw = (t.c_oflag & OPOST) == 0 && (t.c_lflag & (ICANON | ECHO | ISIG)) == 0 &&
                   (t.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD);
  differs("端末の動作", raw ? "raw" : "加工あり", "raw");
}

bool PtySimulator::StillReadable() const {
  pollfd p{master_, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

void PtySimulator::Run() {
  const double bytesPerSecond =
      (options_.paceBaud > 0 ? options_.paceBaud : options_.line.baudRate) / 10.0;
  auto last = std::chrono::steady_clock::now();
  std::uint8_t chunk[4096];
  while (!stop_) {
    // A full buffer takes nothing more: the bytes wait in the terminal, as on a held line.
    const std::size_t room =
        options_.bufferSize - std::min(options_.bufferSize, static_cast<std::size_t>(buffered_));
    pollfd p{master_, static_cast<short>(room > 0 ? POLLIN : 0), 0};
    const int ready = ::poll(&p, 1, kPollSliceMs);
    const auto now = std::chrono::steady_clock::now();
    buffered_ = std::max(
        0.0, buffered_ - std::chrono::duration<double>(now - last).count() * bytesPerSecond);
    last = now;
    if (ready < 0 && errno != EINTR) break;

    // A hang-up counts only once everything the application sent has been read.
    bool hungUp = room > 0 && ready > 0 && (p.revents & POLLIN) == 0 && (p.revents & POLLHUP) != 0;
    if (ready > 0 && (p.revents & POLLIN) != 0) {
      const ssize_t got = ::read(master_, chunk, std::min(room, sizeof chunk));
      if (got > 0) {
        if (!inSession_) BeginSession();
        if (!lineChecked_) CheckLine();
        for (ssize_t i = 0; i < got; ++i) {
          current_.stream.push_back(chunk[i]);
          embosser_->Put(chunk[i]);
        }
        buffered_ += static_cast<double>(got);
      } else if (got < 0 && errno == EIO) {
        hungUp = true;  // the application closed the port
      }
    }
    if (room == 0 && ready > 0) ::poll(nullptr, 0, kPollSliceMs);  // hung up, still draining
    // The terminal can report the close while the last bytes written before it are still on
    // their way to the master: a second look moves them along, and they are read first.
    if (hungUp && inSession_) hungUp = !StillReadable();
    if (hungUp) {
      if (inSession_) {
        EndSession();
      } else {
        // Nobody has the port open: the master reports a hang-up until somebody does.
        ::poll(nullptr, 0, 20);
      }
      continue;
    }
    if (!inSession_ && room > 0 && ready == 0 && p.revents == 0) {
      // The port is open and quiet: the application may be held by an Xoff of the last session.
      BeginSession();
    }
    if (!inSession_) continue;

    const std::size_t received = current_.stream.size();
    if (options_.closeAfterBytes > 0 && received >= options_.closeAfterBytes) {
      ::close(master_);
      master_ = -1;
      current_.problems.push_back("試験のため相手側を閉じました");
      EndSession();
      break;
    }
    if (!holdDone_ && options_.holdFor.count() > 0 && received >= options_.holdAfterBytes &&
        received > 0) {
      holdDone_ = true;
      holdUntil_ = now + options_.holdFor;
      SendFlow(kXoff);
    }
    if (now < holdUntil_) continue;
    if (!xoffSent_ && buffered_ >= static_cast<double>(options_.highMark)) SendFlow(kXoff);
    if (xoffSent_ && buffered_ <= static_cast<double>(options_.lowMark)) SendFlow(kXon);
  }
  // A port never opened also looks open and quiet: without a byte, that was no connection.
  if (inSession_ && current_.stream.empty()) inSession_ = false;
  EndSession();
}

void BlockStopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool WaitForStopSignal(std::chrono::milliseconds timeout) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
  const timespec wait{static_cast<time_t>(seconds.count()),
                      static_cast<long>((timeout - seconds).count() * 1000000)};
  return ::sigtimedwait(&set, nullptr, &wait) > 0;
}

}  // namespace redadado
