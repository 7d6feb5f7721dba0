#include "cli/cli_common.h"

#include <iostream>

#include "document/bes_import.h"

namespace redadado::cli {

void PrintError(std::string_view message) {
  std::cerr << message << '\n';
}

int UsageError(std::string_view message) {
  std::cerr << "redadado-cli: " << message << "\n"
            << "usage: redadado-cli info|convert|print|read"
#ifdef REDADADO_EMBOSS_SIM
            << "|emboss-sim"
#endif
            << " ... (redadado-cli --help)\n";
  return kUsage;
}

Session MakeSession() {
  Session session(AppPaths::ForExecutable());
  session.LoadSettings();
  return session;
}

std::optional<HeaderCheck> OpenDocument(Session& session, const std::string& path) {
  if (IsBesPath(path)) {
    session.besSourcePath = path;
    if (const auto reason = ConvertBesToBse(session)) {
      PrintError(*reason);
      return std::nullopt;
    }
  } else {
    session.document.path = path;
  }
  HeaderCheck check = CheckBseHeader(session.document);
  if (!check.accepted) {
    PrintError(check.message);
    return std::nullopt;
  }
  return check;
}

}  // namespace redadado::cli
