#include "document/bse_header.h"

#include <array>

#include "base/file_paths.h"
#include "base/output_file.h"

namespace redadado {

std::FILE* OpenDocumentFile(const std::string& path, std::string* reason) {
  std::string why;
  std::FILE* file = OpenRegularFile(PathFromUtf8(path), why);
  if (file == nullptr && reason != nullptr) *reason = path + ": " + why;
  return file;
}

std::optional<BseHeader> ReadBseHeader(std::FILE* file) {
  std::array<int, 8> digits{};
  std::size_t found = 0;
  long position = 0;
  for (int c = std::getc(file); c != EOF; c = std::getc(file), ++position) {
    if (c == '\n') break;
    if (position >= kHeaderLineLimit) return std::nullopt;
    if (position >= kHeaderDigitsOffset && c >= '0' && c <= '9' && found < digits.size()) {
      digits[found++] = c - '0';
    }
  }
  if (found < digits.size()) return std::nullopt;
  return BseHeader{10 * digits[6] + digits[7], 100 * digits[1] + 10 * digits[2] + digits[3]};
}

HeaderCheck CheckBseHeader(BrailleDocument& document) {
  HeaderCheck check;
  std::FILE* file = OpenDocumentFile(document.path, &check.openFailure);
  if (file == nullptr) {
    check.message = kCannotOpenFile;
    return check;
  }
  const std::optional<BseHeader> header = ReadBseHeader(file);
  check.hasBody = std::getc(file) != EOF;
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
