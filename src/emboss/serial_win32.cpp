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
#include "emboss/serial_link.h"

namespace redadado {

namespace {

// The slice a held write waits before the event pump runs again: short, as a screen reader asks
// the windows many questions in a row and each waits for a pump.
constexpr DWORD kWaitSliceMs = 10;

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

class Win32Port final : public SerialLink::Port {
 public:
  explicit Win32Port(HANDLE handle) : handle_(handle) {}
  ~Win32Port() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Win32Port(const Win32Port&) = delete;
  Win32Port& operator=(const Win32Port&) = delete;

  Write TryWrite(std::uint8_t byte) override {
    DWORD written = 0;
    if (!WriteFile(handle_, &byte, 1, &written, nullptr)) {
      return {false, SystemError("シリアルポートへの送信に失敗しました", GetLastError())};
    }
    return {written == 1, std::nullopt};
  }

  std::optional<std::string> CheckStatus() override {
    COMSTAT status{};
    return ReadStatus(status);
  }

  Pending PendingOutput() override {
    COMSTAT status{};
    if (std::optional<std::string> failure = ReadStatus(status)) return {0, std::move(failure)};
    return {status.cbOutQue, std::nullopt};
  }

  void WaitSlice() override { Sleep(kWaitSliceMs); }

  void Close(bool discard) override {
    if (discard) PurgeComm(handle_, PURGE_TXCLEAR | PURGE_TXABORT);
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  std::optional<std::string> ReadStatus(COMSTAT& status) {
    DWORD errors = 0;
    if (ClearCommError(handle_, &errors, &status)) return std::nullopt;
    return SystemError("シリアルポートの状態を読めませんでした", GetLastError());
  }

  HANDLE handle_;
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
  auto port = std::make_unique<Win32Port>(handle);
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
  return std::make_unique<SerialLink>(std::move(port), std::move(whileHeld));
}

}  // namespace redadado
