#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace redadado::test {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // `name` is UTF-8, as every path in the core.
  std::filesystem::path operator/(std::string_view name) const;

  // Writes `bytes` to `name` inside the directory and returns the file's path.
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& file);

// A BSE header line as this system writes it: 8 name bytes, 496 spaces, the eight digits, CR LF.
std::string BseHeaderLine(int pageCount, int linesPerPage);

}  // namespace redadado::test
