#include <memory>

#include "cli/commands.h"
#include "document/bes_import.h"

namespace redadado::cli {

Runner DeclareConvert(CLI::App& command) {
  struct Paths {
    std::string source;
    std::string target;
  };
  auto paths = std::make_shared<Paths>();
  command.add_option("SOURCE", paths->source, "the BES document")->required();
  command.add_option("TARGET", paths->target, "the BSE file to write")->required();
  return [paths] {
    BrailleDocument document;
    if (const auto reason = ConvertBesToBse(paths->source, paths->target, document)) {
      PrintError(*reason);
      return kRefused;
    }
    // Converting a document that cannot be embossed is still refused, as the windows refuse it.
    const HeaderCheck check = CheckBseHeader(document);
    if (!check.accepted) {
      PrintError(check.message);
      return kRefused;
    }
    return kDone;
  };
}

}  // namespace redadado::cli
