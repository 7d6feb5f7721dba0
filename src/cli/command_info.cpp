#include <iostream>
#include <memory>

#include "cli/commands.h"

namespace redadado::cli {

Runner DeclareInfo(CLI::App& command) {
  auto document = std::make_shared<std::string>();
  command.add_option("DOCUMENT", *document, "a BSE or BES document")->required();
  return [document] {
    Session session = MakeSession();
    const std::optional<HeaderCheck> check = OpenDocument(session, *document);
    if (!check) return kRefused;
    std::cout << "行数: " << check->linesPerPage << " (" << check->linesText << ")\n"
              << "ページ数: " << check->pageCount << '\n';
    return kDone;
  };
}

}  // namespace redadado::cli
