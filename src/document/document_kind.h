#pragma once

#include <string_view>

namespace redadado {

enum class DocumentKind { kBse, kBes, kOther };

// What a file holds, by its name's extension in any letter case: ".bse", ".bes", or neither.
// Every way a document comes in (selection, command line, drop, job list, the tool and the
// print queue) asks this one question, so a name is accepted everywhere or nowhere.
DocumentKind DocumentKindOf(std::string_view path);

}  // namespace redadado
