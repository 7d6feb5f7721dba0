#include <string>

#include "base/file_paths.h"

namespace redadado {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
  // The mode is ASCII ("rb", "wb", ...).
  const std::string narrow(mode);
  const std::wstring wideMode(narrow.begin(), narrow.end());
  return _wfopen(path.c_str(), wideMode.c_str());
}

}  // namespace redadado
