#include "emboss/page_raster.h"

#include <algorithm>

#include "document/cell_codes.h"

namespace redadado {

namespace {

// Top-left dot of a cell's row: the single-sided layout and the fronts of 18-line documents
// use a 45-position line pitch; the backs are lifted by 22 so their lines fall between those of
// the fronts; 22-line documents use a 36-position pitch.
int CellTop(int row, int page, PassSide pass, int linesPerPage) {
  if (pass == PassSide::kAllSingle) return row * 45 + 5;
  if (linesPerPage == 18) return page % 2 == 1 ? row * 45 + 5 : row * 45 - 17;
  return row * 36 + 5;
}

}  // namespace

PageRaster::PageRaster() : dots_(kWidth * kHeight, 0), rowCounts_(kHeight, 0) {}

void PageRaster::DrawCell(int ch, int row, int column, int page, PassSide pass, int linesPerPage) {
  const int dots = CellDots(ch);
  if (dots == 0) return;
  // Cell pitch alternates 18 and 19 positions.
  const int x0 = static_cast<int>(column * 18.5 + 9);
  const int y0 = CellTop(row, page, pass, linesPerPage);
  for (int dot = 0; dot < 6; ++dot) {
    if ((dots & (1 << dot)) == 0) continue;
    Set(x0 + (dot / 3) * 7, y0 + (dot % 3) * 8);
  }
}

void PageRaster::Set(int x, int y) {
  if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) return;
  std::uint8_t& position = dots_[Index(x, y)];
  if (position != 0) return;
  position = 1;
  ++rowCounts_[y];
  ++dotCount_;
}

void PageRaster::Clear() {
  if (dotCount_ == 0) return;
  for (int y = 0; y < kHeight; ++y) {
    if (rowCounts_[y] == 0) continue;
    std::fill_n(dots_.begin() + Index(0, y), kWidth, std::uint8_t{0});
    rowCounts_[y] = 0;
  }
  dotCount_ = 0;
}

}  // namespace redadado
