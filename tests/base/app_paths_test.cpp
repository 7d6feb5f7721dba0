#include "base/app_paths.h"

#include <gtest/gtest.h>

namespace redadado {
namespace {

TEST(AppPaths, FilesLiveInTheApplicationDirectory) {
  const AppPaths paths("/opt/redadado");
  EXPECT_EQ(paths.SettingsFile(), "/opt/redadado/NEF.ini");
  EXPECT_EQ(paths.TemporaryBse(), "/opt/redadado/BseForNEF.bse");
  EXPECT_EQ(paths.PortLink("COM3"), "/opt/redadado/COM3");
}

TEST(AppPaths, TheRunningExecutableHasAWritableHome) {
  const AppPaths paths = AppPaths::ForExecutable();
  EXPECT_FALSE(paths.Directory().empty());
  EXPECT_TRUE(std::filesystem::is_directory(paths.Directory()));
}

}  // namespace
}  // namespace redadado
