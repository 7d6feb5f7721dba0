#include "document/document_kind.h"

#include <algorithm>
#include <cctype>

namespace redadado {

namespace {

bool HasExtension(std::string_view path, std::string_view extension) {
  if (path.size() < extension.size()) return false;
  const std::string_view tail = path.substr(path.size() - extension.size());
  return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

}  // namespace

DocumentKind DocumentKindOf(std::string_view path) {
  if (HasExtension(path, ".bse")) return DocumentKind::kBse;
  if (HasExtension(path, ".bes")) return DocumentKind::kBes;
  return DocumentKind::kOther;
}

}  // namespace redadado
