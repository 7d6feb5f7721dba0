#include "app/session.h"

#include "document/bes_import.h"

namespace redadado {

std::optional<std::string> ConvertBesToBse(Session& session) {
  return ConvertBesToBse(session.besSourcePath, session.paths.TemporaryBse().string(),
                         session.document);
}

}  // namespace redadado
