#include "support/temp_dir.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "base/file_paths.h"

namespace redadado::test {

TempDir::TempDir() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = base / ("redadado-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) return;
  }
  throw std::runtime_error("cannot create a temporary directory");
}

std::filesystem::path TempDir::operator/(std::string_view name) const {
  return path_ / PathFromUtf8(name);
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests make files read-only; give the owner back write access before removing.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ec)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(std::string_view name, std::string_view bytes) const {
  const std::filesystem::path file = *this / name;
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string BseHeaderLine(int pageCount, int linesPerPage) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d00%02d", pageCount, linesPerPage);
  return "TESTDOC " + std::string(496, ' ') + digits + "\r\n";
}

}  // namespace redadado::test
