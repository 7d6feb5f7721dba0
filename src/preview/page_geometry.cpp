#include "preview/page_geometry.h"

#include <algorithm>

#include "document/cell_codes.h"
#include "preview/row_reading.h"

namespace redadado {
namespace {

bool SingleSided(int linesPerPage) {
  return linesPerPage == 22 || linesPerPage == 24;
}

// The rows of a page that are drawn: all of them, but never more than the row table holds.
int DrawnRows(int linesPerPage) {
  return std::clamp(linesPerPage, 0, kRowTableRows);
}

}  // namespace

Size PageImageSize(Paper paper, Orientation orientation) {
  const Size portrait = paper == Paper::kB5 ? Size{490, 695} : Size{610, 755};
  return orientation == Orientation::kPortrait ? portrait : Size{portrait.height, portrait.width};
}

int PageRowY(int linesPerPage, int pageNumber, int row) {
  if (SingleSided(linesPerPage)) return 31 * row;
  return pageNumber % 2 == 1 ? 39 * row : 39 * row - 19;
}

Point PageToImage(Point page, Paper paper, Orientation orientation) {
  if (orientation == Orientation::kPortrait) return {page.x + 5, page.y + 5};
  const int c = paper == Paper::kB5 ? 694 : 755;
  return {c - page.y - 5, page.x + 5};
}

std::array<Point, 5> DotCross(Point centre) {
  return {{centre,
           {centre.x - 1, centre.y},
           {centre.x + 1, centre.y},
           {centre.x, centre.y - 1},
           {centre.x, centre.y + 1}}};
}

PageLayout LayOutPage(const RowTable& rows, int linesPerPage, int pageNumber, Paper paper,
                      Orientation orientation, bool kanaMode) {
  KanaReadingState kana;
  PageLayout layout{PageImageSize(paper, orientation), {}};
  const auto addDots = [&](int x, int y, std::uint8_t cell) {
    const int dots = CellDots(cell);
    for (int dot = 0; dot < 6; ++dot) {
      if ((dots & (1 << dot)) == 0) continue;
      const Point page{x + kDotOffsets[dot].x, y + kDotOffsets[dot].y};
      layout.marks.push_back({PageToImage(page, paper, orientation), {}});
    }
  };
  // Kana text stands upright in both orientations, its corner where the cell begins.
  const auto textCorner = [&](int x, int y) -> Point {
    if (orientation == Orientation::kPortrait) return {x + 5, y + 5};
    return {(paper == Paper::kB5 ? 680 : 741) - y, x + 5};
  };
  for (int r = FirstDrawnRow(linesPerPage, pageNumber); r < DrawnRows(linesPerPage); ++r) {
    const int y = PageRowY(linesPerPage, pageNumber, r);
    const RowTable::Row& row = rows.rows[r];
    if (kanaMode) {
      ReadRowAsKana(kana, row, [&](int column, std::uint8_t cell, const KanaReading& reading) {
        if (reading.empty()) {
          addDots(15 * column, y, cell);
        } else {
          layout.marks.push_back({textCorner(15 * column, y), reading.text});
        }
      });
    } else {
      const int count = RowCellCount(row);
      for (int column = 0; column < count; ++column) addDots(15 * column, y, row[column]);
    }
  }
  return layout;
}

int ThumbnailShrink(int linesPerPage) {
  return linesPerPage == 19 || linesPerPage == 24 ? 1 : 0;
}

Size OverviewSize(int pageCount) {
  return {kOverviewWidth, (pageCount / kSlotsPerRow + 1) * kSlotHeight};
}

Point SlotOrigin(int page) {
  return {kSlotWidth * (page % kSlotsPerRow), kSlotHeight * (page / kSlotsPerRow)};
}

Area ThumbnailArea(int page, int linesPerPage) {
  const Point origin = SlotOrigin(page);
  return {{origin.x + 3, origin.y + 13},
          {origin.x + 126, origin.y + 187 - 22 * ThumbnailShrink(linesPerPage)}};
}

std::string ThumbnailLabel(int page) {
  return " " + std::to_string(page + 1) + " ";
}

Point ThumbnailLabelPosition(int page) {
  const Point origin = SlotOrigin(page);
  return {origin.x + 4, origin.y};
}

std::vector<Point> ThumbnailDots(const RowTable& rows, int linesPerPage, int page) {
  const Point origin = SlotOrigin(page);
  const int shrink = 4 + ThumbnailShrink(linesPerPage);
  const int pageNumber = page + 1;
  std::vector<Point> pixels;
  for (int k = FirstDrawnRow(linesPerPage, pageNumber); k < DrawnRows(linesPerPage); ++k) {
    const int y = origin.y + PageRowY(linesPerPage, pageNumber, k) / shrink;
    const RowTable::Row& row = rows.rows[k];
    const int count = RowCellCount(row);
    for (int j = 0; j < count; ++j) {
      const int x = origin.x + 15 * j / shrink;
      const int dots = CellDots(row[j]);
      for (int dot = 0; dot < 6; ++dot) {
        // A 2 × 3 pixel picture of the cell: dots 1-3 down the left column, 4-6 the right.
        if ((dots & (1 << dot)) != 0) pixels.push_back({x + 5 + dot / 3, y + 15 + dot % 3});
      }
    }
  }
  return pixels;
}

int PageIndexAt(Point click) {
  // The strip right of the seventh slot belongs to no page (by the bare formula it would open
  // the first page of the next row).
  if (click.x < 0 || click.y < 0 || click.x >= kSlotWidth * kSlotsPerRow) return -1;
  return click.x / kSlotWidth + (click.y / kSlotHeight) * kSlotsPerRow;
}

PageSpan SlotsInRows(int top, int bottom, int pageCount) {
  const int firstRow = std::max(top, 0) / kSlotHeight;
  const int endRow = (std::max(bottom, 0) + kSlotHeight - 1) / kSlotHeight;
  return {std::min(firstRow * kSlotsPerRow, pageCount),
          std::min(std::max(endRow, firstRow) * kSlotsPerRow, pageCount)};
}

OverviewModel OverviewModel::Read(const std::string& path, int linesPerPage, int pageCount) {
  OverviewModel model;
  model.linesPerPage_ = linesPerPage;
  model.pageCount_ = std::max(pageCount, 0);
  std::optional<PageRowReader> reader = PageRowReader::Open(path, linesPerPage);
  if (!reader) return model;
  model.pages_.reserve(model.pageCount_);
  for (int page = 0; page < model.pageCount_; ++page) model.pages_.push_back(reader->NextPage());
  return model;
}

}  // namespace redadado
