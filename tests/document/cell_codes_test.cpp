#include "document/cell_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace redadado {
namespace {

// The published Braille ASCII table, written as raised dots so that it is checked against a
// second, independent spelling of the code.
struct Row {
  char ch;
  const char* dots;
};
constexpr Row kTable[] = {
    {' ', ""},      {'!', "2346"},  {'"', "5"},     {'#', "3456"},  {'$', "1246"}, {'%', "146"},
    {'&', "12346"}, {'\'', "3"},    {'(', "12356"}, {')', "23456"}, {'*', "16"},   {'+', "346"},
    {',', "6"},     {'-', "36"},    {'.', "46"},    {'/', "34"},    {'0', "356"},  {'1', "2"},
    {'2', "23"},    {'3', "25"},    {'4', "256"},   {'5', "26"},    {'6', "235"},  {'7', "2356"},
    {'8', "236"},   {'9', "35"},    {':', "156"},   {';', "56"},    {'<', "126"},  {'=', "123456"},
    {'>', "345"},   {'?', "1456"},  {'@', "4"},     {'A', "1"},     {'B', "12"},   {'C', "14"},
    {'D', "145"},   {'E', "15"},    {'F', "124"},   {'G', "1245"},  {'H', "125"},  {'I', "24"},
    {'J', "245"},   {'K', "13"},    {'L', "123"},   {'M', "134"},   {'N', "1345"}, {'O', "135"},
    {'P', "1234"},  {'Q', "12345"}, {'R', "1235"},  {'S', "234"},   {'T', "2345"}, {'U', "136"},
    {'V', "1236"},  {'W', "2456"},  {'X', "1346"},  {'Y', "13456"}, {'Z', "1356"}, {'[', "246"},
    {'\\', "1256"}, {']', "12456"}, {'^', "45"},    {'_', "456"},
};

int ValueOf(const std::string& dots) {
  int value = 0;
  for (char d : dots) value |= 1 << (d - '1');
  return value;
}

TEST(CellCodes, EveryCharacterHasItsDotsAndEveryPatternItsCharacter) {
  ASSERT_EQ(std::size(kTable), 64u);
  for (const Row& row : kTable) {
    const int value = ValueOf(row.dots);
    EXPECT_EQ(CellDots(row.ch), value) << row.ch;
    EXPECT_EQ(CellForDots(value), static_cast<std::uint8_t>(row.ch)) << row.ch;
  }
}

TEST(CellCodes, DotsValueWeighsDotNByTwoToNMinusOne) {
  EXPECT_EQ(DotsValue(0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(DotsValue(1, 0, 0, 0, 0, 0), 1);
  EXPECT_EQ(DotsValue(0, 0, 0, 0, 0, 1), 32);
  EXPECT_EQ(DotsValue(1, 1, 1, 1, 1, 1), 63);
}

TEST(CellCodes, LowerHalfFoldsOntoUpper) {
  EXPECT_EQ(CellDots('a'), 1);
  EXPECT_EQ(CellDots('{'), 42);
  EXPECT_EQ(CellDots(0x7F), 56);
  EXPECT_EQ(CellDots('`'), CellDots('@'));
  for (int ch = 0x60; ch <= 0x7F; ++ch) EXPECT_EQ(CellDots(ch), CellDots(ch - 0x20)) << ch;
}

TEST(CellCodes, ControlAndHighBytesHaveNoDots) {
  for (int ch = 0; ch < 0x20; ++ch) EXPECT_EQ(CellDots(ch), 0) << ch;
  for (int ch = 0x80; ch <= 0xFF; ++ch) {
    EXPECT_EQ(CellDots(ch), 0) << ch;
    EXPECT_EQ(CellDots(static_cast<signed char>(ch)), 0) << ch;
  }
}

}  // namespace
}  // namespace redadado
