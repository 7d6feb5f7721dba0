#pragma once

#include <optional>
#include <string>

namespace redadado {

// Choosing a document to open: the windows show a file dialog, tests answer from a script.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // `filter` is "description|pattern". The chosen file's full path, or nothing when the user
  // cancelled.
  virtual std::optional<std::string> ChooseFile(const std::string& title,
                                                const std::string& filter) = 0;
};

}  // namespace redadado
