#include "base/app_paths.h"

#include <cstdio>
#include <system_error>

#include "base/file_paths.h"

namespace redadado {
namespace {

// Creating a file is the only test that answers for every file system and platform alike.
bool CanCreateFilesIn(const std::filesystem::path& directory) {
  if (directory.empty()) return false;
  const std::filesystem::path probe = directory / ".redadado-write-test";
  std::FILE* f = OpenFile(probe, "wb");
  if (f == nullptr) return false;
  std::fclose(f);
  std::error_code ec;
  std::filesystem::remove(probe, ec);
  return true;
}

}  // namespace

AppPaths::AppPaths(std::filesystem::path directory) : directory_(std::move(directory)) {}

AppPaths AppPaths::ForExecutable() {
  std::filesystem::path exeDir = ExecutableDirectory();
  if (CanCreateFilesIn(exeDir)) return AppPaths(exeDir);
  std::filesystem::path config = UserConfigDirectory();
  std::error_code ec;
  std::filesystem::create_directories(config, ec);
  return AppPaths(config);
}

}  // namespace redadado
