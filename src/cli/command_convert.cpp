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
    BesConversion how;
    how.cancelled = [] { return StopSignal() != 0; };
    // Converting a document that cannot be embossed is still refused, as the windows refuse it,
    // and the target stays as it was; so is a source cut off before its first page, whose
    // result the print would refuse.
    how.accept = [](const std::string& written) -> std::optional<std::string> {
      BrailleDocument result{.path = written};
      const HeaderCheck check = CheckBseHeader(result);
      if (!check.accepted) return check.message;
      if (!check.hasBody) return std::string(kNoBody);
      return std::nullopt;
    };
    BrailleDocument document;
    if (const auto reason = ConvertBesToBse(paths->source, paths->target, document, how)) {
      PrintError(*reason);
      return kRefused;
    }
    return kDone;
  };
}

}  // namespace redadado::cli
