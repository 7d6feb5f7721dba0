#include <iostream>

#include "cli/commands.h"

namespace redadado::cli {

int RunInfo(Args args) {
  if (args.size() != 1) return UsageError("info takes one DOCUMENT");
  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, std::string(args[0]));
  if (!check) return kRefused;
  std::cout << "行数: " << check->linesPerPage << " (" << check->linesText << ")\n"
            << "ページ数: " << check->pageCount << '\n';
  return kDone;
}

}  // namespace redadado::cli
