#pragma once

#include <filesystem>
#include <string>

namespace redadado {

// Where NEF.ini, the temporary BseForNEF.bse and the COMn port links live: the executable's
// directory when it is writable (a portable install), otherwise the per-user configuration
// directory.
class AppPaths {
 public:
  explicit AppPaths(std::filesystem::path directory);

  // Decides the application directory for the running executable.
  static AppPaths ForExecutable();

  const std::filesystem::path& Directory() const { return directory_; }
  std::filesystem::path SettingsFile() const { return directory_ / "NEF.ini"; }
  std::filesystem::path TemporaryBse() const { return directory_ / "BseForNEF.bse"; }
  // The link a COM port may be mapped through, as Wine maps them: <directory>/COMn.
  std::filesystem::path PortLink(const std::string& portName) const {
    return directory_ / portName;
  }

 private:
  std::filesystem::path directory_;
};

// Directory of the running executable; empty when it cannot be found.
std::filesystem::path ExecutableDirectory();

// The per-user configuration directory for Redadado (~/.config/redadado on Linux).
std::filesystem::path UserConfigDirectory();

}  // namespace redadado
