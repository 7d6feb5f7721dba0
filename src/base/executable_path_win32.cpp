#include <windows.h>

#include <array>
#include <cstdlib>

#include "base/app_paths.h"

namespace redadado {

std::filesystem::path ExecutableDirectory() {
  std::array<wchar_t, 32768> buffer{};
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return {};
  return std::filesystem::path(std::wstring(buffer.data(), n)).parent_path();
}

std::filesystem::path UserConfigDirectory() {
  if (const char* appData = std::getenv("APPDATA"); appData != nullptr && *appData != '\0') {
    return std::filesystem::path(appData) / "Redadado";
  }
  return std::filesystem::temp_directory_path() / "Redadado";
}

}  // namespace redadado
