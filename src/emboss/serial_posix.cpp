#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "base/system_reason.h"
#include "emboss/serial_baud_posix.h"
#include "emboss/serial_link.h"

namespace redadado {

namespace {

// The slice a held write waits before the event pump runs again: short, as a screen reader asks
// the windows many questions in a row and each waits for a pump, and a repaint needs two.
constexpr int kWaitSliceMs = 10;

std::string SystemError(const std::string& what, int error) {
  return what + ": " + ErrnoReasonText(error);
}

std::optional<speed_t> StandardSpeed(int baud) {
  switch (baud) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return std::nullopt;
  }
}

// Fills `t` with the line parameters. Returns the reason when the port cannot do what is asked.
std::optional<std::string> ApplyLineParameters(termios& t, const LineParameters& line) {
  // Without Xon/Xoff the port's own handshake stays as it was; raw mode would clear IXON.
  const tcflag_t handshakeInput = t.c_iflag & (IXON | IXOFF | IXANY);
  const tcflag_t handshakeControl = t.c_cflag & CRTSCTS;
  const cc_t start = t.c_cc[VSTART];
  const cc_t stop = t.c_cc[VSTOP];
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;

  t.c_cflag &= ~CSIZE;
  switch (line.dataBits) {
    case 5:
      t.c_cflag |= CS5;
      break;
    case 6:
      t.c_cflag |= CS6;
      break;
    case 7:
      t.c_cflag |= CS7;
      break;
    case 8:
      t.c_cflag |= CS8;
      break;
    default:
      return std::to_string(line.dataBits) +
             " データビットはこのシステムのシリアルポートでは設定できません（5〜8 "
             "を選んでください）。";
  }
  if (line.parity) {
    t.c_cflag &= ~(PARENB | PARODD);
    if (*line.parity == Parity::kOdd) t.c_cflag |= PARENB | PARODD;
    if (*line.parity == Parity::kEven) t.c_cflag |= PARENB;
  }
  if (line.stopBits) {
    if (*line.stopBits == StopBits::kOneAndHalf && line.dataBits != 5) {
      return "1.5 ストップビットは 5 データビットのときだけ使えます。";
    }
    // With 5 data bits the UART sends CSTOPB as one and a half stop bits.
    if (*line.stopBits == StopBits::kOne) {
      t.c_cflag &= ~CSTOPB;
    } else {
      t.c_cflag |= CSTOPB;
    }
  }
  if (line.xonXoff) {
    // Only DC1 may restart output, as on the embosser's original platform: no IXANY.
    t.c_iflag &= ~IXANY;
    t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = kXon;
    t.c_cc[VSTOP] = kXoff;
  } else {
    t.c_iflag |= handshakeInput;
    t.c_cflag |= handshakeControl;
    t.c_cc[VSTART] = start;
    t.c_cc[VSTOP] = stop;
  }
  return std::nullopt;
}

}  // namespace

class PosixPort final : public SerialLink::Port {
 public:
  explicit PosixPort(int fd) : fd_(fd) { found_ = ::tcgetattr(fd_, &foundState_) == 0; }
  ~PosixPort() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixPort(const PosixPort&) = delete;
  PosixPort& operator=(const PosixPort&) = delete;

  Write TryWrite(std::uint8_t byte) override {
    ssize_t written = 0;
    do {
      written = ::write(fd_, &byte, 1);
    } while (written < 0 && errno == EINTR);
    if (written == 1) return {true, std::nullopt};
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      return {false, SystemError("シリアルポートへの送信に失敗しました", errno)};
    }
    // Held by Xoff or a full buffer: wait a short slice for room.
    pollfd p{fd_, POLLOUT, 0};
    const int ready = ::poll(&p, 1, kWaitSliceMs);
    if (ready < 0 && errno != EINTR) {
      return {false, SystemError("シリアルポートの待機に失敗しました", errno)};
    }
    if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      return {
          false,
          "シリアルポートの接続が切れました（相手側が閉じられたか、アダプターが外されました）。"};
    }
    return {false, std::nullopt};
  }

  // The write and its wait already tell a line that went away.
  std::optional<std::string> CheckStatus() override { return std::nullopt; }

  Pending PendingOutput() override {
    int pending = 0;
    if (::ioctl(fd_, TIOCOUTQ, &pending) != 0) {
      return {0, SystemError("シリアルポートの状態を読めませんでした", errno)};
    }
    return {static_cast<std::size_t>(pending > 0 ? pending : 0), std::nullopt};
  }

  void WaitSlice() override { ::poll(nullptr, 0, kWaitSliceMs); }

  void Close(bool discard) override {
    if (discard) Release();
    ::close(fd_);
    fd_ = -1;
  }

 private:
  // After a run that ended early (a stop, a hold given up, a failure), the port is left as it
  // was found: the held output discarded, restarted if an Xoff stopped it (only switching
  // Xon/Xoff off restarts that), its own settings back, so that the next program that writes
  // to it is neither held nor in raw mode.
  void Release() {
    ::tcflush(fd_, TCOFLUSH);
    termios now{};
    if (::tcgetattr(fd_, &now) == 0 && (now.c_iflag & IXON) != 0) {
      now.c_iflag &= ~static_cast<tcflag_t>(IXON);
      ::tcsetattr(fd_, TCSANOW, &now);
    }
    if (found_) ::tcsetattr(fd_, TCSANOW, &foundState_);
  }

  int fd_;
  termios foundState_{};
  bool found_ = false;
};

std::string PortDevice(const AppPaths& paths, const std::string& port) {
  const std::optional<int> number = ComPortNumber(port);
  if (!number) return port;
  // A link in the application directory maps the port, as Wine does; a dangling link still
  // names the port (its open then fails) rather than silently reaching another device.
  std::error_code error;
  const std::filesystem::path link = paths.PortLink(port);
  if (std::filesystem::symlink_status(link, error).type() !=
          std::filesystem::file_type::not_found &&
      !error) {
    return link.string();
  }
  return "/dev/ttyS" + std::to_string(*number - 1);
}

std::unique_ptr<SerialLink> OpenPort(const std::string& device, const LineParameters& parameters,
                                     HoldHandler whileHeld, std::string& error) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = SystemError(device, errno);
    return nullptr;
  }
  // From here on the port closes with the Port, whatever fails.
  auto port = std::make_unique<PosixPort>(fd);
  if (::ioctl(fd, TIOCEXCL) != 0) {
    error = SystemError(device, errno);
    return nullptr;
  }
  termios t{};
  if (::tcgetattr(fd, &t) != 0) {
    error = SystemError(device, errno);
    return nullptr;
  }
  if (const auto refused = ApplyLineParameters(t, parameters)) {
    error = device + ": " + *refused;
    return nullptr;
  }
  const std::optional<speed_t> speed = StandardSpeed(parameters.baudRate);
  if (speed) {
    ::cfsetispeed(&t, *speed);
    ::cfsetospeed(&t, *speed);
  }
  if (::tcsetattr(fd, TCSANOW, &t) != 0) {
    error = SystemError(device, errno);
    return nullptr;
  }
  if (!speed) {
    if (const int failed = SetArbitraryBaudRate(fd, parameters.baudRate)) {
      error = SystemError(device + " (" + std::to_string(parameters.baudRate) + " baud)", failed);
      return nullptr;
    }
  }
  return std::make_unique<SerialLink>(std::move(port), std::move(whileHeld));
}

}  // namespace redadado
