#include "preview/page_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace redadado {
namespace {

// A row table of the given lines, each ending with its LF.
RowTable Rows(const std::vector<std::string>& lines) {
  RowTable table;
  for (std::size_t r = 0; r < lines.size(); ++r) {
    const std::string line = lines[r] + "\n";
    std::copy(line.begin(), line.end(), table.rows[r].begin());
  }
  return table;
}

// Every line three full cells (`=` has all six dots).
RowTable FullRows(int count) {
  return Rows(std::vector<std::string>(count, "==="));
}

struct DotCase {
  int lines;
  int page;
  Paper paper;
  Orientation orientation;
  Size size;
  int row, cell, dot;  // dot from 1
  Point centre;
};

TEST(PageView, DotsAsData) {
  const std::vector<DotCase> cases = {
      // First line at the top, dots 7 and 6 pixels apart, a margin of 5.
      {18, 1, Paper::kB5, Orientation::kPortrait, {490, 695}, 0, 0, 1, {5, 5}},
      {18, 1, Paper::kB5, Orientation::kPortrait, {490, 695}, 1, 2, 6, {41, 58}},
      // Back pages: row 0 is not drawn, the first drawn line stands at y = 20.
      {18, 2, Paper::kB5, Orientation::kPortrait, {490, 695}, 1, 0, 1, {5, 25}},
      {18, 2, Paper::kA4, Orientation::kPortrait, {610, 755}, 17, 1, 3, {20, 663}},
      // Landscape: the first line down the right-hand edge, later lines further left.
      {18, 1, Paper::kB5, Orientation::kLandscape, {695, 490}, 0, 0, 1, {689, 5}},
      {18, 1, Paper::kB5, Orientation::kLandscape, {695, 490}, 0, 1, 4, {689, 26}},
      {18, 1, Paper::kB5, Orientation::kLandscape, {695, 490}, 17, 0, 3, {12, 5}},
      {18, 2, Paper::kA4, Orientation::kLandscape, {755, 610}, 1, 0, 1, {730, 5}},
      // 22 lines: 31 pixels apart on every page, nothing skipped.
      {22, 1, Paper::kB5, Orientation::kPortrait, {490, 695}, 21, 0, 3, {5, 670}},
      {22, 2, Paper::kB5, Orientation::kPortrait, {490, 695}, 0, 0, 1, {5, 5}},
      {22, 2, Paper::kA4, Orientation::kLandscape, {755, 610}, 21, 2, 6, {85, 41}},
      {22, 1, Paper::kA4, Orientation::kPortrait, {610, 755}, 1, 0, 2, {5, 43}},
  };
  for (const DotCase& c : cases) {
    const PageLayout layout =
        LayOutPage(FullRows(c.lines), c.lines, c.page, c.paper, c.orientation, false);
    const int first = FirstDrawnRow(c.lines, c.page);
    EXPECT_EQ(layout.size, c.size);
    ASSERT_EQ(layout.marks.size(), static_cast<std::size_t>((c.lines - first) * 3 * 6));
    const PageMark& mark = layout.marks[((c.row - first) * 3 + c.cell) * 6 + c.dot - 1];
    EXPECT_EQ(mark.at, c.centre) << c.lines << " p" << c.page << " r" << c.row << " c" << c.cell
                                 << " d" << c.dot;
    EXPECT_TRUE(mark.text.empty());
  }
  EXPECT_EQ(DotCross({10, 20}),
            (std::array<Point, 5>{{{10, 20}, {9, 20}, {11, 20}, {10, 19}, {10, 21}}}));
}

TEST(PageView, KanaTextAndTheDotsOfCellsWithoutAReading) {
  // The number sign (dots 3-6) shows as dots, the digits as text; "@K" is one two-kana reading
  // that hides the K; the row ends with the dakuten prefix (dot 5).
  PageLayout layout =
      LayOutPage(Rows({"#AB @KA\""}), 22, 1, Paper::kB5, Orientation::kPortrait, true);
  const std::vector<PageMark> expected = {
      {{5, 19}, {}},  {{11, 5}, {}},   {{11, 12}, {}},
      {{11, 19}, {}}, {{20, 5}, "１"}, {{35, 5}, "２"},
  };
  ASSERT_GE(layout.marks.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(layout.marks[i], expected[i]) << i;
  // The space shows nothing; "にゃ" covers cells 4 and 5, "あ" is cell 6, the prefix cell 7.
  ASSERT_EQ(layout.marks.size(), 9u);
  EXPECT_EQ(layout.marks[6], (PageMark{{65, 5}, "にゃ"}));
  EXPECT_EQ(layout.marks[7], (PageMark{{95, 5}, "あ"}));
  EXPECT_EQ(layout.marks[8], (PageMark{{116, 12}, {}}));

  // The dakuten left pending by that drawing does not reach the next one, which reads "*" as
  // "か"; within a page it carries from a row's end to the next row. Landscape text stands at
  // 680 − y (B5) or 741 − y (A4).
  layout = LayOutPage(Rows({"*", "*\"", "*"}), 22, 1, Paper::kB5, Orientation::kLandscape, true);
  ASSERT_EQ(layout.marks.size(), 4u);
  EXPECT_EQ(layout.marks[0], (PageMark{{680, 5}, "か"}));
  EXPECT_EQ(layout.marks[1], (PageMark{{649, 5}, "か"}));
  EXPECT_EQ(layout.marks[3], (PageMark{{618, 5}, "が"}));
  layout = LayOutPage(Rows({"", "A"}), 18, 2, Paper::kA4, Orientation::kLandscape, true);
  ASSERT_EQ(layout.marks.size(), 1u);
  EXPECT_EQ(layout.marks[0], (PageMark{{721, 5}, "あ"}));
}

TEST(Overview, SlotsLabelsAndPictureSize) {
  EXPECT_EQ(OverviewSize(7), (Size{880, 380}));
  EXPECT_EQ(OverviewSize(6), (Size{880, 190}));
  EXPECT_EQ(OverviewSize(999), (Size{880, 27170}));
  // The third slot of the second row is page 10.
  EXPECT_EQ(SlotOrigin(9), (Point{250, 190}));
  EXPECT_EQ(ThumbnailLabel(9), " 10 ");
  EXPECT_EQ(ThumbnailLabelPosition(9), (Point{254, 190}));
  EXPECT_EQ(ThumbnailArea(9, 18), (Area{{253, 203}, {376, 377}}));
  EXPECT_EQ(ThumbnailArea(0, 24), (Area{{3, 13}, {126, 165}}));
  EXPECT_EQ(ThumbnailShrink(19), 1);
  EXPECT_EQ(ThumbnailShrink(22), 0);
}

TEST(Overview, ThumbnailDotsAsData) {
  struct Case {
    int lines, page;
    std::size_t index;  // into the pixels of three full cells a row
    Point pixel;
  };
  const std::vector<Case> cases = {
      {22, 0, 0, {5, 15}},
      {22, 0, 5, {6, 17}},
      {22, 0, 18, {5, 22}},                     // row 1 at (31·1) div 4 = 7
      {22, 0, 21 * 18 + 2, {5, 15 + 162 + 2}},  // last row at 651 div 4, inside the area
      {18, 0, 0, {5, 15}},
      {18, 1, 6, {125 + 3 + 5, 5 + 15}},  // back page: row 0 skipped, row 1 at 20 div 4
      {19, 8, 2 * 18 + 2 * 6, {125 + 6 + 5, 190 + 15 + 15}},  // shrink 1: 30 div 5, 78 div 5
  };
  for (const Case& c : cases) {
    const std::vector<Point> pixels = ThumbnailDots(FullRows(c.lines), c.lines, c.page);
    ASSERT_LT(c.index, pixels.size());
    EXPECT_EQ(pixels[c.index], c.pixel) << c.lines << " " << c.page << " " << c.index;
  }
  EXPECT_EQ(ThumbnailDots(FullRows(18), 18, 1).size(), 17u * 18);
}

TEST(Overview, ClicksAndVisibleSlots) {
  EXPECT_EQ(PageIndexAt({0, 0}), 0);
  EXPECT_EQ(PageIndexAt({124, 189}), 0);  // the label's corner and the margin belong to it
  EXPECT_EQ(PageIndexAt({125, 0}), 1);
  EXPECT_EQ(PageIndexAt({251, 191}), 9);
  EXPECT_EQ(PageIndexAt({875, 0}), -1);  // right of the seventh slot
  EXPECT_EQ(SlotsInRows(0, 289, 999), (PageSpan{0, 14}));
  EXPECT_EQ(SlotsInRows(1900, 2189, 999), (PageSpan{70, 84}));
  EXPECT_EQ(SlotsInRows(27000, 27289, 999), (PageSpan{994, 999}));
}

TEST(Overview, ModelReadsEveryPageOnceAndKeepsThePageCountWhenTheFileIsGone) {
  test::TempDir dir;
  std::string body;
  for (int n = 0; n < 40; ++n) body += "L" + std::to_string(n) + "\r\n";
  const auto path = dir.Write("doc.bse", test::BseHeaderLine(3, 18) + body).string();
  const OverviewModel model = OverviewModel::Read(path, 18, 3);
  ASSERT_TRUE(model.opened());
  EXPECT_EQ(model.pageCount(), 3);
  EXPECT_EQ(model.Rows(1).rows[0][1], '1');
  EXPECT_EQ(model.Rows(1).rows[0][2], '8');
  EXPECT_EQ(model.Rows(2).rows[4][0], 0);
  const OverviewModel gone = OverviewModel::Read((dir / "absent.bse").string(), 18, 3);
  EXPECT_FALSE(gone.opened());
  EXPECT_EQ(gone.pageCount(), 3);
}

}  // namespace
}  // namespace redadado
