#include "base/system_reason.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace redadado {
namespace {

// The common reasons read in Japanese on both systems, the system's words kept after them; any
// other reason is the system's text alone.
TEST(SystemReason, CommonReasonsReadInJapaneseOnBothSystems) {
  const struct {
    int errnoValue;
    unsigned long windowsCode;
    SystemReason reason;
    const char* japanese;
  } cases[] = {
      {ENOENT, 2, SystemReason::kNotFound, "見つかりません"},
      {EACCES, 5, SystemReason::kNoPermission, "アクセスが許可されていません"},
      {EBUSY, 32, SystemReason::kBusy, "ほかのプログラムが使用中です"},
      {ENOSPC, 112, SystemReason::kNoSpace, "ディスクの空きがありません"},
      {EROFS, 19, SystemReason::kReadOnly, "書き込みが禁止されています"},
      {ENODEV, 1167, SystemReason::kDeviceGone, "装置が接続されていません"},
      {EIO, 1117, SystemReason::kIoError, "入出力エラーが起きました"},
      {ETIMEDOUT, 121, SystemReason::kTimeout, "時間切れになりました"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReasonOfErrno(c.errnoValue), c.reason) << c.japanese;
    EXPECT_EQ(ReasonOfWindowsError(c.windowsCode), c.reason) << c.japanese;
    EXPECT_EQ(ErrnoReasonText(c.errnoValue),
              std::string(c.japanese) + "（" + std::strerror(c.errnoValue) + "）");
  }
  EXPECT_EQ(ReasonText(SystemReason::kNotFound, ""), "見つかりません");
  EXPECT_EQ(ReasonOfErrno(EPIPE), SystemReason::kOther);
  EXPECT_EQ(ErrnoReasonText(EPIPE), std::strerror(EPIPE));
  EXPECT_EQ(ReasonOfWindowsError(87), SystemReason::kOther);
  // Windows refuses a folder as "access denied"; only the C library names it.
  EXPECT_EQ(ErrnoReasonText(EISDIR),
            std::string("フォルダーです（") + std::strerror(EISDIR) + "）");
}

// Error codes (of std::filesystem) read the same way, whichever category they come in.
TEST(SystemReason, ErrorCodesReadAsTheirCondition) {
  const std::error_code notFound = std::make_error_code(std::errc::no_such_file_or_directory);
  EXPECT_EQ(ErrorCodeReasonText(notFound), "見つかりません（" + notFound.message() + "）");
  const std::error_code denied = std::make_error_code(std::errc::permission_denied);
  EXPECT_EQ(ErrorCodeReasonText(denied).rfind("アクセスが許可されていません（", 0), 0u);
  const std::error_code other = std::make_error_code(std::errc::broken_pipe);
  EXPECT_EQ(ErrorCodeReasonText(other), other.message());
  // What std::filesystem reports for a file that is not there (its size: a rename's failure
  // reads differently under Wine, whose MoveFileEx reports another code).
  std::error_code missing;
  (void)std::filesystem::file_size(
      std::filesystem::temp_directory_path() / "nonexistent-redadado" / "a", missing);
  ASSERT_TRUE(missing);
  EXPECT_EQ(ErrorCodeReasonText(missing).rfind("見つかりません（", 0), 0u);
}

}  // namespace
}  // namespace redadado
