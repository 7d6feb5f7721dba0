#include "cli/commands.h"
#include "document/bes_import.h"

namespace redadado::cli {

int RunConvert(Args args) {
  if (args.size() != 2) return UsageError("convert takes SOURCE.bes TARGET.bse");
  BrailleDocument document;
  if (const auto reason = ConvertBesToBse(std::string(args[0]), std::string(args[1]), document)) {
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
}

}  // namespace redadado::cli
