#include "base/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "workflow/session.h"

namespace redadado {
namespace {

using test::ReadFile;
using test::TempDir;
using Values = std::array<int, 7>;

TEST(SettingsStore, NoFileGivesTheDefaultsAndSavingWritesThemWithoutALineEnd) {
  TempDir dir;
  Session session{AppPaths(dir.path())};
  session.LoadSettings();
  EXPECT_EQ(session.settings.values, (Values{3, 0, 0, 4, 0, 0, 0}));
  EXPECT_FALSE(session.SaveSettings());
  EXPECT_EQ(ReadFile(dir / "NEF.ini"), "3 0 0 4 0 0 0");
  EXPECT_FALSE(std::filesystem::exists(dir / "NEF.ini.tmp"));
}

TEST(SettingsStore, ReadingStopsAtTheFirstItemThatIsNotANumber) {
  struct Case {
    const char* text;
    Values expected;
  } cases[] = {
      {"6 2", {6, 2, 0, 4, 0, 0, 0}},
      {"6\n2\n1\r\n3\t1  2 \n 1\n", {6, 2, 1, 3, 1, 2, 1}},
      {"", {3, 0, 0, 4, 0, 0, 0}},
      {"x 1 2", {3, 0, 0, 4, 0, 0, 0}},
      {"5 8 x 1", {5, 8, 0, 4, 0, 0, 0}},
      {"   \n\t 9 1", {9, 1, 0, 4, 0, 0, 0}},
      {"+7 -0 1 0 2 2 2 5 5", {7, 0, 1, 0, 2, 2, 2}},
      {"7- 1", {7, 0, 0, 4, 0, 0, 0}},
      {"4.5 1", {4, 0, 0, 4, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSettings(c.text).values, c.expected) << c.text;
  }
}

TEST(SettingsStore, ValuesOutsideTheirRangeFallBackToTheirDefaults) {
  EXPECT_EQ(ParseSettings("15 9 2 5 3 3 3").values, (Values{3, 0, 0, 4, 0, 0, 0}));
  EXPECT_EQ(ParseSettings("-1 -9 -1 -1 -1 -1 -1").values, (Values{3, 0, 0, 4, 0, 0, 0}));
  EXPECT_EQ(ParseSettings("14 8 1 0 2 2 2").values, (Values{14, 8, 1, 0, 2, 2, 2}));
  EXPECT_EQ(ParseSettings("99999999999999999999999 1").values, (Values{3, 1, 0, 4, 0, 0, 0}));
}

TEST(SettingsStore, SavedValuesLoadBack) {
  TempDir dir;
  Settings settings;
  settings.values = {12, 4, 1, 2, 1, 2, 2};
  ASSERT_FALSE(SaveSettings(settings, dir / "NEF.ini"));
  EXPECT_EQ(ReadFile(dir / "NEF.ini"), "12 4 1 2 1 2 2");
  EXPECT_EQ(LoadSettings(dir / "NEF.ini").values, settings.values);
}

TEST(SettingsStore, AReadOnlySettingsFileIsNotReplaced) {
  TempDir dir;
  const auto file = dir.Write("NEF.ini", "6 2");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  const auto failure = SaveSettings(Settings{}, file);
  EXPECT_TRUE(failure);
  EXPECT_EQ(ReadFile(file), "6 2");
}

TEST(SettingsStore, AnUnwritableDirectoryIsReportedAndLeavesNoFile) {
  TempDir dir;
  const auto file = dir / "no-such-dir" / "NEF.ini";
  EXPECT_TRUE(SaveSettings(Settings{}, file));
  // A directory where the file should be cannot be replaced either.
  std::filesystem::create_directory(dir / "NEF.ini");
  EXPECT_TRUE(SaveSettings(Settings{}, dir / "NEF.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "NEF.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir / "NEF.ini.tmp"));
}

TEST(SettingsStore, AFailedSaveKeepsTheOldFileWhole) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  const auto file = dir.Write("NEF.ini", "6 2 0 4 0 0 0");
  // The temporary file sits on a full device: the write fails and NEF.ini is untouched.
  std::filesystem::create_symlink("/dev/full", dir / "NEF.ini.tmp");
  EXPECT_TRUE(SaveSettings(Settings{}, file));
  EXPECT_EQ(ReadFile(file), "6 2 0 4 0 0 0");
}

}  // namespace
}  // namespace redadado
