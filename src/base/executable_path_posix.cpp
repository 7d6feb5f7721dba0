#include <unistd.h>

#include <array>
#include <cstdlib>

#include "base/app_paths.h"

namespace redadado {

std::filesystem::path ExecutableDirectory() {
  std::array<char, 4096> buffer{};
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  return std::filesystem::path(std::string(buffer.data(), static_cast<std::size_t>(n)))
      .parent_path();
}

std::filesystem::path UserConfigDirectory() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    return std::filesystem::path(xdg) / "redadado";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / ".config" / "redadado";
  }
  return std::filesystem::temp_directory_path() / "redadado";
}

}  // namespace redadado
