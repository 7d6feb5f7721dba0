#include "document/bse_header.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "base/file_paths.h"

namespace redadado {

std::FILE* OpenDocumentFile(const std::string& path) {
  // fopen succeeds on a directory on POSIX; reading it would only fail later and less clearly.
  const std::filesystem::path file = PathFromUtf8(path);
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    errno = EISDIR;
    return nullptr;
  }
  return OpenFile(file, "rb");
}

std::optional<BseHeader> ReadBseHeader(std::FILE* file) {
  std::array<int, 8> digits{};
  std::size_t found = 0;
  long position = 0;
  for (int c = std::getc(file); c != EOF; c = std::getc(file), ++position) {
    if (c == '\n') break;
    if (position >= kHeaderDigitsOffset && c >= '0' && c <= '9' && found < digits.size()) {
      digits[found++] = c - '0';
    }
  }
  if (found < digits.size()) return std::nullopt;
  return BseHeader{10 * digits[6] + digits[7], 100 * digits[1] + 10 * digits[2] + digits[3]};
}

HeaderCheck CheckBseHeader(BrailleDocument& document) {
  HeaderCheck check;
  std::FILE* file = OpenDocumentFile(document.path);
  if (file == nullptr) {
    check.message = kCannotOpenFile;
    return check;
  }
  const std::optional<BseHeader> header = ReadBseHeader(file);
  std::fclose(file);
  if (!header || !IsSupportedLineCount(header->linesPerPage)) {
    check.message = kUnsupportedLineCount;
    return check;
  }
  check.accepted = true;
  check.linesPerPage = header->linesPerPage;
  check.pageCount = header->pageCount;
  if (header->linesPerPage == 18) {
    check.linesText = kLines18Text;
    check.sideLabelEnabled = true;
    check.side = SideMode::kFrontAndBack;  // ordinary double-sided printing
  } else {
    check.linesText = kLines22Text;
  }
  document.linesPerPage = header->linesPerPage;
  document.pageCount = header->pageCount;
  return check;
}

}  // namespace redadado
