#include "workflow/session.h"

#include "base/file_paths.h"
#include "document/bes_import.h"

namespace redadado {

std::optional<std::string> ConvertBesToBse(Session& session) {
  return ConvertBesToBse(session.besSourcePath, Utf8FromPath(session.paths.TemporaryBse()),
                         session.document);
}

}  // namespace redadado
