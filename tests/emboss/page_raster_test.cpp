#include "emboss/page_raster.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "document/cell_codes.h"

namespace redadado {
namespace {

using enum PassSide;

// '=' has all six dots (CellDots 63); 'A' only dot 1.
constexpr int kFullCell = '=';

std::vector<std::pair<int, int>> SetPositions(const PageRaster& raster) {
  std::vector<std::pair<int, int>> set;
  for (int y = 0; y < PageRaster::kHeight; ++y) {
    for (int x = 0; x < PageRaster::kWidth; ++x) {
      if (raster.IsSet(x, y)) set.emplace_back(x, y);
    }
  }
  return set;
}

std::vector<std::uint8_t> Sent(const PageRaster& raster, bool doubleStrike = false) {
  std::vector<std::uint8_t> bytes;
  raster.SendRaster(
      [&](std::uint8_t byte) {
        bytes.push_back(byte);
        return true;
      },
      [&] { return doubleStrike; });
  return bytes;
}

class PageRasterTest : public ::testing::Test {
 protected:
  // Large enough that it must not live on the stack.
  std::unique_ptr<PageRaster> raster = std::make_unique<PageRaster>();
};

TEST_F(PageRasterTest, CellGeometryAndColumnPitch) {
  ASSERT_EQ(CellDots(kFullCell), 63);
  raster->DrawCell(kFullCell, 0, 0, 1, kFront, 18);
  const std::vector<std::pair<int, int>> expected = {{9, 5},   {16, 5}, {9, 13},
                                                     {16, 13}, {9, 21}, {16, 21}};
  EXPECT_EQ(SetPositions(*raster), expected);
  raster->Clear();
  EXPECT_TRUE(raster->IsEmpty());
  const int starts[] = {9, 27, 46, 64, 83, 101, 120, 138, 157};
  for (int column = 0; column < 9; ++column) {
    raster->DrawCell('A', 0, column, 1, kFront, 18);
    EXPECT_TRUE(raster->IsSet(starts[column], 5)) << column;
  }
}

TEST_F(PageRasterTest, ColumnThirtyOneIsTheLastThatFits) {
  raster->DrawCell(kFullCell, 0, 31, 1, kFront, 18);
  EXPECT_TRUE(raster->IsSet(582, 5));
  EXPECT_TRUE(raster->IsSet(589, 21));
  EXPECT_EQ(SetPositions(*raster).size(), 6u);
  raster->Clear();
  raster->DrawCell(kFullCell, 0, 32, 1, kFront, 18);
  raster->DrawCell(kFullCell, 0, 200, 1, kFront, 18);
  EXPECT_TRUE(raster->IsEmpty());
}

struct Placement {
  int row, page;
  PassSide pass;
  int linesPerPage;
  int y0;  // -1: nothing of the cell is drawn
};

class PlacementTest : public PageRasterTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PlacementTest, RowsStartWhereTheLayoutPutsThem) {
  const Placement p = GetParam();
  raster->DrawCell('A', p.row, 0, p.page, p.pass, p.linesPerPage);
  if (p.y0 < 0) {
    EXPECT_TRUE(raster->IsEmpty());
  } else {
    EXPECT_TRUE(raster->IsSet(9, p.y0));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PlacementTest,
    ::testing::Values(Placement{0, 1, kFront, 18, 5}, Placement{17, 1, kFront, 18, 770},
                      Placement{0, 2, kBack, 18, -1},  // a back's first line lies above the raster
                      Placement{1, 2, kBack, 18, 28}, Placement{17, 2, kFront, 18, 748},
                      Placement{1, 2, kInPageOrder, 18, 28},  // page order keeps the backs' shift
                      Placement{1, 2, kAllSingle, 18, 50},    // single-sided layout: no shift
                      Placement{0, 1, kFront, 22, 5}, Placement{21, 2, kBack, 22, 761},
                      Placement{17, 1, kAllSingle, 22,
                                770},  // the single-sided layout wins over 22 lines
                      Placement{18, 1, kAllSingle, 22, -1}, Placement{21, 1, kAllSingle, 22, -1}));

TEST_F(PageRasterTest, DotsAboveTheRasterAreDroppedOneByOne) {
  // A back's row 0 has y0 -17: its dots at -17, -9 and -1 all lie above the raster.
  raster->DrawCell(kFullCell, 0, 0, 2, kBack, 18);
  EXPECT_TRUE(raster->IsEmpty());
  raster->DrawCell(kFullCell, 1, 0, 2, kBack, 18);
  EXPECT_EQ(SetPositions(*raster).size(), 6u);
  EXPECT_TRUE(raster->IsSet(9, 28));
  EXPECT_TRUE(raster->IsSet(16, 44));
}

TEST_F(PageRasterTest, BlankCellsDrawNothing) {
  for (const int ch : {0x20, 0x0D, 0x0A, 0x00, 0xA0}) raster->DrawCell(ch, 3, 3, 1, kFront, 18);
  EXPECT_TRUE(raster->IsEmpty());
  EXPECT_TRUE(Sent(*raster).empty());
}

TEST_F(PageRasterTest, DotAddressesGoRowByRowFromTheTop) {
  raster->DrawCell('A', 0, 0, 1, kFront, 18);  // (9, 5)
  EXPECT_EQ(Sent(*raster), (std::vector<std::uint8_t>{0x20, 0x69, 0x20, 0x45}));
  raster->Clear();
  // '=' at column 31, row 17 of the single-sided layout: x 582/589, y 770/778/786.
  raster->DrawCell(kFullCell, 17, 31, 1, kAllSingle, 22);
  raster->DrawCell('A', 0, 0, 1, kFront, 18);
  const std::vector<std::uint8_t> expected = {
      0x20, 0x69, 0x20, 0x45,                          // (9, 5)
      0x32, 0x66, 0x38, 0x42, 0x32, 0x6D, 0x38, 0x42,  // (582, 770) (589, 770)
      0x32, 0x66, 0x38, 0x4A, 0x32, 0x6D, 0x38, 0x4A,  // y 778
      0x32, 0x66, 0x38, 0x52, 0x32, 0x6D, 0x38, 0x52,  // y 786
  };
  EXPECT_EQ(Sent(*raster), expected);
}

TEST_F(PageRasterTest, DoubleStrikeSendsEachAddressTwiceAndIsAskedPerDot) {
  raster->DrawCell('B', 0, 0, 1, kFront, 18);  // dots 1 and 2: (9, 5) (9, 13)
  EXPECT_EQ(Sent(*raster, true),
            (std::vector<std::uint8_t>{0x20, 0x69, 0x20, 0x45, 0x20, 0x69, 0x20, 0x45, 0x20, 0x69,
                                       0x20, 0x4D, 0x20, 0x69, 0x20, 0x4D}));
  int asked = 0;
  std::vector<std::uint8_t> bytes;
  raster->SendRaster(
      [&](std::uint8_t byte) {
        bytes.push_back(byte);
        return true;
      },
      [&] { return ++asked == 2; });
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(bytes.size(), 12u);  // first dot once, second twice
}

TEST_F(PageRasterTest, SendingStopsAtTheFirstUndeliveredByte) {
  raster->DrawCell(kFullCell, 0, 0, 1, kFront, 18);
  int offered = 0;
  const bool sent =
      raster->SendRaster([&](std::uint8_t) { return ++offered < 3; }, [] { return false; });
  EXPECT_FALSE(sent);
  EXPECT_EQ(offered, 3);
}

}  // namespace
}  // namespace redadado
