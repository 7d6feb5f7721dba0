#include "document/bes_import.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "base/file_paths.h"
#include "base/output_file.h"
#include "base/system_reason.h"
#include "document/cell_codes.h"

namespace redadado {
namespace {

constexpr long kNameOffset = 10;
constexpr long kLinesOffset = 22;
constexpr long kPagesOffset = 31;
constexpr long kFirstBlockOffset = 1025;
constexpr std::uint8_t kLineEnd = 0xFE;
constexpr std::uint8_t kPageEnd = 0x0C;
constexpr std::uint8_t kIgnored = 0x0D;

// Reads `count` bytes at `offset`; bytes past the end of the file read as `fill`.
std::vector<int> ReadAt(std::FILE* file, long offset, std::size_t count, int fill) {
  std::vector<int> bytes(count, fill);
  if (std::fseek(file, offset, SEEK_SET) != 0) return bytes;
  for (int& b : bytes) {
    const int c = std::getc(file);
    if (c == EOF) break;
    b = c;
  }
  return bytes;
}

// A header byte that is not a digit counts as 0, so a damaged header still yields digits only
// (and lines per page 0, which the header check then refuses).
int DigitValue(int byte) {
  return (byte >= '0' && byte <= '9') ? byte - '0' : 0;
}

class BseWriter {
 public:
  explicit BseWriter(std::FILE* file) : file_(file) {}

  void Cell(std::uint8_t cell) {
    std::fputc(cell, file_);
    lineEmpty_ = false;
  }
  // An empty braille line is written as two spaces, so no line is ever just CR LF.
  void LineEnd() {
    if (lineEmpty_) std::fputs("  ", file_);
    std::fputs("\r\n", file_);
    lineEmpty_ = true;
  }

 private:
  std::FILE* file_;
  bool lineEmpty_ = true;
};

void WriteHeader(std::FILE* bes, std::FILE* bse, int& linesPerPage) {
  const std::vector<int> name = ReadAt(bes, kNameOffset, 8, ' ');
  const std::vector<int> lines = ReadAt(bes, kLinesOffset, 4, ' ');
  const std::vector<int> pages = ReadAt(bes, kPagesOffset, 4, 0);

  for (int b : name) std::fputc(b, bse);
  for (int i = 0; i < 496; ++i) std::fputc(' ', bse);

  int n = DigitValue(pages[0]);
  for (std::size_t i = 1; i < pages.size(); ++i) {
    if (pages[i] != ' ' && pages[i] != 0) n = 10 * n + DigitValue(pages[i]);
  }
  n = n + 1;
  // At most 9999 + 1: keep the thousands to one digit, so the header stays eight digits.
  std::fprintf(bse, "%d%d%d%d", n / 1000 % 10, n % 1000 / 100, n % 100 / 10, n % 10);

  // The BES lines field counts d6 from 1; a 0 there has no digit below it and stays 0.
  std::fprintf(bse, "%d%d%d%d", DigitValue(lines[0]), std::max(DigitValue(lines[1]) - 1, 0),
               DigitValue(lines[2]), DigitValue(lines[3]));
  std::fputs("\r\n", bse);
  linesPerPage = 10 * DigitValue(lines[2]) + DigitValue(lines[3]);
}

// False when cancelled; a write failure shows in the stream's error flag.
bool ConvertBlocks(std::FILE* bes, std::FILE* bse, int linesPerPage,
                   const std::function<bool()>& cancelled) {
  BseWriter writer(bse);
  std::vector<std::uint8_t> data;
  long blockStart = kFirstBlockOffset;
  while (std::ferror(bse) == 0 && std::fseek(bes, blockStart, SEEK_SET) == 0) {
    if (cancelled && cancelled()) return false;
    const int low = std::getc(bes);
    const int high = std::getc(bes);
    if (low == EOF || high == EOF) return true;
    const long length = low | (high << 8);
    // A block shorter than its own three header bytes cannot lead on to a next block.
    if (length < 3) return true;
    std::getc(bes);  // offset 2 carries nothing we use
    // Blocks of any length (up to 65532 data bytes) are converted whole.
    data.resize(static_cast<std::size_t>(length - 3));
    if (std::fread(data.data(), 1, data.size(), bes) != data.size()) return true;

    int lineEnds = 0;
    for (std::uint8_t b : data) {
      if (b == kLineEnd) {
        ++lineEnds;
        writer.LineEnd();
      } else if (b == kPageEnd) {
        for (int i = linesPerPage - lineEnds - 1; i > 0; --i) writer.LineEnd();
      } else if (b != kIgnored) {
        writer.Cell(BesByteToCell(b));
      }
    }
    blockStart += length;
  }
  return true;
}

std::string Reason(const char* message, const std::string& path, int error) {
  return std::string(message) + "\n" + path + ": " + ErrnoReasonText(error);
}

}  // namespace

std::uint8_t BesByteToCell(std::uint8_t besByte) {
  if (besByte == kPageEnd || besByte == kIgnored || besByte == kLineEnd) return besByte;
  if (besByte >= 0xA1 && besByte <= 0xDF) return CellForDots(besByte - 0xA0);
  return ' ';
}

std::optional<std::string> ConvertBesToBse(const std::string& besPath, const std::string& bsePath,
                                           BrailleDocument& document, const BesConversion& how) {
  std::string why;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> bes(OpenDocumentFile(besPath, &why),
                                                            &std::fclose);
  if (!bes) return std::string(kCannotOpenFile) + "\n" + why;
  OutputFile bse;
  if (const auto refused = bse.Open(PathFromUtf8(bsePath), PathFromUtf8(besPath))) {
    return std::string(kCannotCreateBse) + "\n" + *refused;
  }
  int linesPerPage = 0;
  WriteHeader(bes.get(), bse.Stream(), linesPerPage);
  if (!ConvertBlocks(bes.get(), bse.Stream(), linesPerPage, how.cancelled)) {
    return kConversionCancelled;
  }
  if (std::ferror(bse.Stream()) != 0) return Reason(kCannotWriteBse, bsePath, errno);
  if (how.accept) {
    if (std::fflush(bse.Stream()) != 0) return Reason(kCannotWriteBse, bsePath, errno);
    if (auto refused = how.accept(Utf8FromPath(bse.Written()))) return refused;
  }
  if (const auto failed = bse.Commit()) return std::string(kCannotWriteBse) + "\n" + *failed;
  document.path = bsePath;
  return std::nullopt;
}

}  // namespace redadado
