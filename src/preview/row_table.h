#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace redadado {

// What the page views say when the document cannot be opened for a drawing.
inline constexpr const char* kBseOpenFailed = "ＢＳＥファイルのオープンに失敗しました。";

inline constexpr int kRowTableRows = 26;
// 44 bytes of a line (its cells and the LF or end marker) and the terminating 0.
inline constexpr int kRowBytes = 45;
// Stands in place of the LF of a last line that has none.
inline constexpr std::uint8_t kEndMarker = 0x1A;

// The lines of one page of a BSE body as the page views show them. Each row holds the bytes of
// its line without CR, then its LF (or kEndMarker), then 0; rows the page does not reach are
// all 0. A longer line keeps its first 44 bytes; lines after row 25 are left out.
struct RowTable {
  using Row = std::array<std::uint8_t, kRowBytes>;
  std::array<Row, kRowTableRows> rows{};
};

// The number of cells of `row`: its bytes up to the first LF or 0.
int RowCellCount(const RowTable::Row& row);

// The first row that is drawn for a page: the first line of an even page of a double-sided
// document falls outside the embossed area and is not shown.
int FirstDrawnRow(int linesPerPage, int pageNumber);

// Reads the pages of a document one after another in one pass over the file. Owns the open
// file; pages past the end of the body come back empty.
class PageRowReader {
 public:
  // Opens `path` and skips its header line. Empty when the file cannot be opened.
  static std::optional<PageRowReader> Open(const std::string& path, int linesPerPage);

  // The rows of the next page (page 1 on the first call).
  RowTable NextPage();
  // Reads past the next page without keeping its rows.
  void SkipPage();
  // True once the body has been read to its end: every later page is empty.
  bool AtEnd() const { return ended_ && position_ == buffer_.size(); }

 private:
  PageRowReader(std::FILE* file, int linesPerPage);
  int Get();  // the next body byte with CR bytes dropped, or EOF
  void ReadPage(RowTable* table);

  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  int linesPerPage_;
  bool ended_ = false;
  std::vector<std::uint8_t> buffer_;
  std::size_t position_ = 0;
};

// The rows of page `pageNumber` (from 1) of the document at `path`, opening and closing it.
// Empty when the file cannot be opened.
std::optional<RowTable> ReadPageRows(const std::string& path, int linesPerPage, int pageNumber);

}  // namespace redadado
