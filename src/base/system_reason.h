#pragma once

#include <string>
#include <system_error>

namespace redadado {

// Why the operating system refused something, as a user reads it: the common reasons in
// Japanese with the system's own words after them, any other reason in the system's words.
enum class SystemReason {
  kNotFound,
  kNoPermission,
  kBusy,
  kNoSpace,
  kReadOnly,
  kDeviceGone,
  kIoError,
  kTimeout,
  kIsFolder,
  kOther,
};

// The C library's errno values (both systems).
SystemReason ReasonOfErrno(int error);
// Windows' GetLastError() codes (the numbers are fixed, so this is portable and testable).
SystemReason ReasonOfWindowsError(unsigned long code);

// "見つかりません（No such file or directory）"; `systemText` alone for kOther.
std::string ReasonText(SystemReason reason, const std::string& systemText);

// The reason text of an errno value, with std::strerror's words.
std::string ErrnoReasonText(int error);

// The reason text of an error code (std::filesystem and the like), with its own words: its
// portable condition decides the reason on both systems.
std::string ErrorCodeReasonText(const std::error_code& error);

}  // namespace redadado
