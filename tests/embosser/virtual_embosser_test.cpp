#include "embosser/virtual_embosser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "embosser/sheet_picture.h"
#include "png_reader.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

void Send(ByteSink& sink, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) ASSERT_TRUE(sink.Put(byte));
}

void SendDot(ByteSink& sink, int x, int y) {
  Send(sink, {static_cast<std::uint8_t>(0x20 + x / 32), static_cast<std::uint8_t>(0x60 + x % 32),
              static_cast<std::uint8_t>(0x20 + y / 32), static_cast<std::uint8_t>(0x40 + y % 32)});
}

// The darkest pixel within `radius` of the centre of raster position (x, y).
int Darkest(const test::GreyImage& image, int x, int y, int radius) {
  int darkest = 255;
  for (int py = PictureY(y) - radius; py <= PictureY(y) + radius; ++py) {
    for (int px = PictureX(x) - radius; px <= PictureX(x) + radius; ++px) {
      darkest = std::min<int>(darkest, image.At(px, py));
    }
  }
  return darkest;
}

// Pixels darker than the paper within a square around (x, y): the dot's size.
int InkArea(const test::GreyImage& image, int x, int y) {
  int area = 0;
  for (int py = PictureY(y) - 8; py <= PictureY(y) + 8; ++py) {
    for (int px = PictureX(x) - 8; px <= PictureX(x) + 8; ++px) area += image.At(px, py) < 250;
  }
  return area;
}

TEST(VirtualEmbosser, OnePicturePerSideWithDotsWhereSent) {
  test::TempDir dir;
  VirtualEmbosser embosser(dir.path() / "out");
  Send(embosser, {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31});
  SendDot(embosser, 9, 5);
  SendDot(embosser, 300, 400);
  SendDot(embosser, 300, 400);  // double strike
  Send(embosser, {0x0C});
  Send(embosser, {0x0C});  // an empty page still feeds out a sheet side
  Send(embosser, {0x0D, 0x0A, 0x0C, 0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31});
  Send(embosser, {0x0D});
  const VirtualEmbosser::Outcome outcome = embosser.Finish();
  EXPECT_TRUE(outcome.ok) << outcome.text;
  EXPECT_EQ(outcome.sheetSides, 2);
  EXPECT_EQ(outcome.text, "2 面を出力しました: " + (dir.path() / "out").string());

  const auto first = test::ReadGreyPng(dir.path() / "out" / "side-001.png");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->width, kPictureWidth);
  EXPECT_EQ(first->height, kPictureHeight);
  EXPECT_LT(Darkest(*first, 9, 5, 2), 200);
  EXPECT_LT(Darkest(*first, 300, 400, 2), Darkest(*first, 9, 5, 2));  // pressed deeper
  EXPECT_EQ(Darkest(*first, 100, 100, 6), 255);                       // plain paper
  EXPECT_EQ(Darkest(*first, 9, 16, 3), 255);  // nothing between the sent dots

  const auto blank = test::ReadGreyPng(dir.path() / "out" / "side-002.png");
  ASSERT_TRUE(blank);
  EXPECT_TRUE(
      std::all_of(blank->grey.begin(), blank->grey.end(), [](std::uint8_t v) { return v == 255; }));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "out" / "side-003.png"));
}

TEST(VirtualEmbosser, LargeDotsAreBiggerThanMediumOnes) {
  test::TempDir dir;
  for (const char digit : {'1', '2'}) {
    VirtualEmbosser embosser(dir.path() / std::string(1, digit));
    Send(embosser, {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, static_cast<std::uint8_t>(digit)});
    SendDot(embosser, 200, 200);
    Send(embosser, {0x0C, 0x0D});
    ASSERT_TRUE(embosser.Finish().ok);
  }
  const auto medium = test::ReadGreyPng(dir.path() / "1" / "side-001.png");
  const auto large = test::ReadGreyPng(dir.path() / "2" / "side-001.png");
  ASSERT_TRUE(medium && large);
  EXPECT_GT(InkArea(*large, 200, 200), InkArea(*medium, 200, 200) * 3 / 2);
}

TEST(VirtualEmbosser, StartsTheDirectoryAfreshAndContinuesNumbering) {
  test::TempDir dir;
  dir.Write("side-007.png", "old");
  dir.Write("notes.txt", "mine");
  {
    VirtualEmbosser embosser(dir.path());
    Send(embosser, {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31, 0x0C, 0x0D});
    ASSERT_TRUE(embosser.Finish().ok);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "side-007.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "notes.txt"));
  VirtualEmbosser next(dir.path(), 2);
  Send(next, {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31, 0x0C, 0x0D});
  ASSERT_TRUE(next.Finish().ok);
  EXPECT_TRUE(std::filesystem::exists(dir / "side-001.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "side-002.png"));
}

TEST(VirtualEmbosser, FaultyStreamIsNotASuccess) {
  test::TempDir dir;
  VirtualEmbosser embosser(dir.path());
  Send(embosser, {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31, 0x41, 0x0C, 0x0D});
  const VirtualEmbosser::Outcome outcome = embosser.Finish();
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.text.find("位置 7 (0x41)"), std::string::npos) << outcome.text;
  EXPECT_EQ(outcome.sheetSides, 1);
}

TEST(VirtualEmbosser, UnwritableDirectoryIsReported) {
  test::TempDir dir;
  const auto file = dir.Write("plain-file", "x");
  VirtualEmbosser embosser(file / "sub");
  Send(embosser, {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31, 0x0C, 0x0D});
  const VirtualEmbosser::Outcome outcome = embosser.Finish();
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.text.find("画像の保存先を作れませんでした"), std::string::npos);
}

}  // namespace
}  // namespace redadado
