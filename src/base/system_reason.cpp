#include "base/system_reason.h"

#include <cerrno>
#include <cstring>

namespace redadado {

SystemReason ReasonOfErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return SystemReason::kNotFound;
    case EACCES:
    case EPERM:
      return SystemReason::kNoPermission;
    case EBUSY:
    case ETXTBSY:
      return SystemReason::kBusy;
    case ENOSPC:
    case EFBIG:
      return SystemReason::kNoSpace;
    case EROFS:
      return SystemReason::kReadOnly;
    case ENODEV:
    case ENXIO:
      return SystemReason::kDeviceGone;
    case EIO:
      return SystemReason::kIoError;
    case ETIMEDOUT:
      return SystemReason::kTimeout;
    case EISDIR:
      return SystemReason::kIsFolder;
    default:
      return SystemReason::kOther;
  }
}

SystemReason ReasonOfWindowsError(unsigned long code) {
  switch (code) {
    case 2:    // ERROR_FILE_NOT_FOUND
    case 3:    // ERROR_PATH_NOT_FOUND
    case 123:  // ERROR_INVALID_NAME
      return SystemReason::kNotFound;
    case 5:  // ERROR_ACCESS_DENIED
      return SystemReason::kNoPermission;
    case 32:   // ERROR_SHARING_VIOLATION
    case 170:  // ERROR_BUSY
      return SystemReason::kBusy;
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
      return SystemReason::kNoSpace;
    case 19:  // ERROR_WRITE_PROTECT
      return SystemReason::kReadOnly;
    case 20:    // ERROR_BAD_UNIT
    case 21:    // ERROR_NOT_READY
    case 22:    // ERROR_BAD_COMMAND
    case 31:    // ERROR_GEN_FAILURE: what a removed USB adapter gives
    case 55:    // ERROR_DEV_NOT_EXIST
    case 1167:  // ERROR_DEVICE_NOT_CONNECTED
      return SystemReason::kDeviceGone;
    case 1117:  // ERROR_IO_DEVICE
      return SystemReason::kIoError;
    case 121:   // ERROR_SEM_TIMEOUT
    case 258:   // WAIT_TIMEOUT
    case 1460:  // ERROR_TIMEOUT
      return SystemReason::kTimeout;
    default:
      return SystemReason::kOther;
  }
}

std::string ReasonText(SystemReason reason, const std::string& systemText) {
  const char* japanese = nullptr;
  switch (reason) {
    case SystemReason::kNotFound:
      japanese = "見つかりません";
      break;
    case SystemReason::kNoPermission:
      japanese = "アクセスが許可されていません";
      break;
    case SystemReason::kBusy:
      japanese = "ほかのプログラムが使用中です";
      break;
    case SystemReason::kNoSpace:
      japanese = "ディスクの空きがありません";
      break;
    case SystemReason::kReadOnly:
      japanese = "書き込みが禁止されています";
      break;
    case SystemReason::kDeviceGone:
      japanese = "装置が接続されていません";
      break;
    case SystemReason::kIoError:
      japanese = "入出力エラーが起きました";
      break;
    case SystemReason::kTimeout:
      japanese = "時間切れになりました";
      break;
    case SystemReason::kIsFolder:
      japanese = "フォルダーです";
      break;
    case SystemReason::kOther:
      return systemText;
  }
  if (systemText.empty()) return japanese;
  return std::string(japanese) + "（" + systemText + "）";
}

std::string ErrnoReasonText(int error) {
  return ReasonText(ReasonOfErrno(error), std::strerror(error));
}

std::string ErrorCodeReasonText(const std::error_code& error) {
  const std::error_condition condition = error.default_error_condition();
  SystemReason reason = SystemReason::kOther;
  if (condition.category() == std::generic_category()) {
    reason = ReasonOfErrno(condition.value());
  } else if (error.category() == std::system_category()) {
    // MinGW's library leaves Windows' own codes (std::filesystem's) unmapped; on POSIX systems
    // every system code maps to a generic condition above.
    reason = ReasonOfWindowsError(static_cast<unsigned long>(error.value()));
  }
  return ReasonText(reason, error.message());
}

}  // namespace redadado
