#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "base/system_reason.h"
#include "emboss/held_write.h"
#include "emboss/serial_link.h"

namespace redadado {

namespace {

// The slice a held write waits before the event pump runs again.
constexpr DWORD kWaitSliceMs = 50;

// The system's text for `code`, as UTF-8 like every other message of the application (the ANSI
// variant would hand out the local code page).
std::string SystemError(const std::string& what, DWORD code) {
  wchar_t buffer[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                        buffer[length - 1] == L' ')) {
    --length;
  }
  if (length == 0) {
    return what + ": " + ReasonText(ReasonOfWindowsError(code), "エラー " + std::to_string(code));
  }
  const int wide = static_cast<int>(length);
  const int size = WideCharToMultiByte(CP_UTF8, 0, buffer, wide, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, buffer, wide, text.data(), size, nullptr, nullptr);
  }
  return what + ": " + ReasonText(ReasonOfWindowsError(code), text);
}

void ApplyLineParameters(DCB& dcb, const LineParameters& line) {
  dcb.fBinary = TRUE;
  // A line error on what the embosser sends back must not abort the writes.
  dcb.fAbortOnError = FALSE;
  dcb.BaudRate = static_cast<DWORD>(line.baudRate);
  dcb.ByteSize = static_cast<BYTE>(line.dataBits);
  dcb.fParity = TRUE;
  // The enumerations follow NOPARITY/ODDPARITY/EVENPARITY and ONESTOPBIT/ONE5STOPBITS/TWOSTOPBITS.
  if (line.parity) dcb.Parity = static_cast<BYTE>(*line.parity);
  if (line.stopBits) dcb.StopBits = static_cast<BYTE>(*line.stopBits);
  if (line.xonXoff) {
    dcb.XonLim = static_cast<WORD>(kXonLimit);
    dcb.XoffLim = static_cast<WORD>(kXoffLimit);
    dcb.fOutX = TRUE;
    dcb.fInX = TRUE;
    dcb.XonChar = static_cast<char>(kXon);
    dcb.XoffChar = static_cast<char>(kXoff);
  }
}

}  // namespace

class Win32Port final : public SerialLink::Port, private WritePort {
 public:
  Win32Port(HANDLE handle, HoldHandler whileHeld)
      : handle_(handle), whileHeld_(std::move(whileHeld)) {}
  ~Win32Port() override { Close(); }
  Win32Port(const Win32Port&) = delete;
  Win32Port& operator=(const Win32Port&) = delete;

  bool Put(std::uint8_t byte) override {
    if (handle_ == INVALID_HANDLE_VALUE && failure_.kind == LinkFault::kNone) {
      failure_ = {LinkFault::kFailed, "シリアルポートは閉じられています。"};
    }
    if (failure_.kind != LinkFault::kNone) return false;
    failure_ = WriteThroughHolds(*this, byte, whileHeld_);
    return failure_.kind == LinkFault::kNone;
  }

  LinkFailure Failure() const override { return failure_; }
  void SetCloseStallLimit(std::chrono::milliseconds limit) override { stallLimit_ = limit; }

  // Lets the pending output drain while the far end keeps taking it; what is left after it
  // stalled is discarded, so closing never waits on an embosser that stopped answering.
  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return drained_;
    if (failure_.kind == LinkFault::kNone) {
      bool first = true;
      DWORD last = 0;
      auto progress = std::chrono::steady_clock::now();
      HeldWait wait(whileHeld_);
      for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handle_, &errors, &status)) {
          failure_ = {LinkFault::kFailed,
                      SystemError("シリアルポートの状態を読めませんでした", GetLastError())};
          break;
        }
        const DWORD pending = status.cbOutQue;
        if (pending == 0) {
          drained_ = true;
          break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (first || pending < last) {
          progress = now;
          wait.Moved();
        }
        if (now - progress > stallLimit_) {
          failure_ = {LinkFault::kStalled, {}};
          break;
        }
        first = false;
        last = pending;
        Sleep(kWaitSliceMs);
        if (!wait.GoOn()) {
          failure_ = {LinkFault::kAbandoned, {}};
          break;
        }
      }
    }
    if (!drained_) PurgeComm(handle_, PURGE_TXCLEAR | PURGE_TXABORT);
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return drained_;
  }

 private:
  Write TryWrite(std::uint8_t byte) override {
    DWORD written = 0;
    if (!WriteFile(handle_, &byte, 1, &written, nullptr)) {
      return {false, SystemError("シリアルポートへの送信に失敗しました", GetLastError())};
    }
    return {written == 1, std::nullopt};
  }

  std::optional<std::string> CheckStatus() override {
    DWORD errors = 0;
    COMSTAT status{};
    if (ClearCommError(handle_, &errors, &status)) return std::nullopt;
    return SystemError("シリアルポートの状態を読めませんでした", GetLastError());
  }

  HANDLE handle_;
  HoldHandler whileHeld_;
  LinkFailure failure_;
  std::chrono::milliseconds stallLimit_{30000};
  bool drained_ = false;
};

std::string PortDevice(const AppPaths&, const std::string& port) {
  // COMn goes through the device namespace, which COM10 and above need; a path stays as given.
  const bool comName = port.size() > 3 && port.compare(0, 3, "COM") == 0 &&
                       port.find_first_not_of("0123456789", 3) == std::string::npos;
  return comName ? "\\\\.\\" + port : port;
}

std::unique_ptr<SerialLink> OpenPort(const std::string& device, const LineParameters& parameters,
                                     HoldHandler whileHeld, std::string& error) {
  const HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = SystemError(device, GetLastError());
    return nullptr;
  }
  // From here on the port closes with the Port, whatever fails.
  auto port = std::make_unique<Win32Port>(handle, std::move(whileHeld));
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  if (!GetCommState(handle, &dcb)) {
    error = SystemError(device, GetLastError());
    return nullptr;
  }
  ApplyLineParameters(dcb, parameters);
  if (!SetCommState(handle, &dcb)) {
    error = SystemError(device, GetLastError());
    return nullptr;
  }
  // Reads return at once; a write gives up after one slice plus the time a byte takes on the
  // line, so a held write comes back to pump events instead of blocking.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  const DWORD baud = static_cast<DWORD>(parameters.baudRate > 0 ? parameters.baudRate : 1);
  timeouts.WriteTotalTimeoutMultiplier = (12000 + baud - 1) / baud;
  timeouts.WriteTotalTimeoutConstant = kWaitSliceMs;
  if (!SetCommTimeouts(handle, &timeouts)) {
    error = SystemError(device, GetLastError());
    return nullptr;
  }
  return std::make_unique<SerialLink>(std::move(port));
}

}  // namespace redadado
