#include "embosser/stream_decoder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace redadado {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kStartMedium = {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31};
const Bytes kStartLarge = {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x32};
const Bytes kRestart = {0x0D, 0x0A, 0x0C, 0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x31};

Bytes Dot(int x, int y) {
  return {static_cast<std::uint8_t>(0x20 + x / 32), static_cast<std::uint8_t>(0x60 + x % 32),
          static_cast<std::uint8_t>(0x20 + y / 32), static_cast<std::uint8_t>(0x40 + y % 32)};
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

StreamDecoder Decode(const Bytes& stream) {
  StreamDecoder decoder;
  for (std::uint8_t byte : stream) decoder.Feed(byte);
  decoder.Finish();
  return decoder;
}

std::string Faults(const StreamDecoder& decoder) {
  std::string text;
  for (const StreamFault& fault : decoder.Faults()) text += fault.Describe() + "\n";
  return text;
}

TEST(StreamDecoder, SingleDotFromTheRasterExample) {
  const StreamDecoder decoder =
      Decode(Join({kStartMedium, {0x20, 0x69, 0x20, 0x45}, {0x0C}, {0x0D}}));
  EXPECT_EQ(Faults(decoder), "");
  ASSERT_EQ(decoder.Sides().size(), 1u);
  const SheetSide& side = decoder.Sides()[0];
  EXPECT_EQ(side.number, 1);
  EXPECT_FALSE(side.large);
  ASSERT_EQ(side.dots.size(), 1u);
  EXPECT_EQ(side.dots[0].x, 9);
  EXPECT_EQ(side.dots[0].y, 5);
  EXPECT_EQ(side.dots[0].strikes, 1);
  EXPECT_TRUE(decoder.RunEnded());
}

TEST(StreamDecoder, CornersOfTheRasterRoundTrip) {
  const std::vector<std::pair<int, int>> points = {{0, 0},   {599, 0}, {0, 792},  {599, 792},
                                                   {31, 31}, {32, 32}, {582, 770}};
  Bytes stream = kStartLarge;
  for (const auto& [x, y] : points) stream = Join({stream, Dot(x, y)});
  const StreamDecoder decoder = Decode(Join({stream, {0x0C, 0x0D}}));
  EXPECT_EQ(Faults(decoder), "");
  ASSERT_EQ(decoder.Sides().size(), 1u);
  EXPECT_TRUE(decoder.Sides()[0].large);
  ASSERT_EQ(decoder.Sides()[0].dots.size(), points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(decoder.Sides()[0].dots[i].x, points[i].first);
    EXPECT_EQ(decoder.Sides()[0].dots[i].y, points[i].second);
  }
}

TEST(StreamDecoder, AddressRepeatedDirectlyIsADoubleStrike) {
  const StreamDecoder decoder =
      Decode(Join({kStartMedium, Dot(9, 5), Dot(9, 5), Dot(16, 5), Dot(9, 5), {0x0C}, {0x0D}}));
  EXPECT_EQ(Faults(decoder), "");
  const std::vector<EmbossedDot>& dots = decoder.Sides().at(0).dots;
  ASSERT_EQ(dots.size(), 3u);
  EXPECT_EQ(dots[0].strikes, 2);
  EXPECT_EQ(dots[1].strikes, 1);
  EXPECT_EQ(dots[2].strikes, 1);  // the same place again, but not directly after
}

TEST(StreamDecoder, RestartFeedsNoExtraSideAndLoneFormFeedIsABlankSide) {
  // Front-only run of two copies, then an 18-line back pass's closing FF.
  const StreamDecoder decoder = Decode(Join(
      {kStartLarge, Dot(9, 5), {0x0C}, kRestart, Dot(9, 5), {0x0C}, kRestart, {0x0C}, {0x0D}}));
  EXPECT_EQ(Faults(decoder), "");
  ASSERT_EQ(decoder.Sides().size(), 3u);
  EXPECT_TRUE(decoder.Sides()[0].large);
  EXPECT_FALSE(decoder.Sides()[1].large);  // the restart always says '1'
  EXPECT_TRUE(decoder.Sides()[2].dots.empty());
  EXPECT_EQ(decoder.Sides()[2].number, 3);
}

TEST(StreamDecoder, SeveralRunsOnOneConnection) {
  const StreamDecoder decoder =
      Decode(Join({kStartMedium, Dot(1, 1), {0x0C, 0x0D}, kStartLarge, Dot(2, 2), {0x0C, 0x0D}}));
  EXPECT_EQ(Faults(decoder), "");
  ASSERT_EQ(decoder.Sides().size(), 2u);
  EXPECT_TRUE(decoder.Sides()[1].large);
}

struct FaultCase {
  const char* name;
  Bytes stream;
  std::size_t offset;
  std::uint8_t byte;
  std::size_t sides;
};

class StreamDecoderFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(StreamDecoderFaults, ReportsPositionAndByte) {
  const FaultCase& c = GetParam();
  const StreamDecoder decoder = Decode(c.stream);
  ASSERT_FALSE(decoder.Faults().empty()) << c.name;
  EXPECT_EQ(decoder.Faults()[0].offset, c.offset) << Faults(decoder);
  EXPECT_EQ(decoder.Faults()[0].byte, c.byte) << Faults(decoder);
  EXPECT_EQ(decoder.Sides().size(), c.sides) << Faults(decoder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StreamDecoderFaults,
    ::testing::Values(
        FaultCase{"data before the start commands", Join({Dot(1, 1), kStartMedium, {0x0C, 0x0D}}),
                  0, 0x20, 1},
        FaultCase{
            "dot kind digit", {0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44, 0x33, 0x0C, 0x0D}, 6, 0x33, 1},
        FaultCase{"stray letter on a page", Join({kStartMedium, {0x41}, Dot(1, 1), {0x0C, 0x0D}}),
                  7, 0x41, 1},
        FaultCase{"second address byte out of range",
                  Join({kStartMedium, {0x20, 0x50, 0x20, 0x45}, {0x0C, 0x0D}}), 8, 0x50, 1},
        FaultCase{"x beyond the raster",
                  Join({kStartMedium, {0x32, 0x7F, 0x20, 0x40}, {0x0C, 0x0D}}), 10, 0x40, 1},
        FaultCase{"broken restart", Join({kStartMedium, {0x0C, 0x0D, 0x0A, 0x0D}, {0x0C, 0x0D}}),
                  10, 0x0D, 2},
        FaultCase{"cut off inside an address", Join({kStartMedium, {0x20, 0x69}}), 9, 0x00, 0},
        FaultCase{"last side without FF", Join({kStartMedium, Dot(3, 3), {0x0D}}), 12, 0x00, 1}),
    [](const auto& param) {
      std::string name = param.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

}  // namespace
}  // namespace redadado
