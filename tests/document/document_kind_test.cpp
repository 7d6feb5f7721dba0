#include "document/document_kind.h"

#include <gtest/gtest.h>

namespace redadado {
namespace {

// Every way in asks this: the extension decides, in any letter case, and nothing else does.
TEST(DocumentKind, TheExtensionInAnyCase) {
  const struct {
    const char* path;
    DocumentKind kind;
  } cases[] = {
      {"doc.bse", DocumentKind::kBse},
      {"/x/doc.BSE", DocumentKind::kBse},
      {"x.Bse", DocumentKind::kBse},
      {"C:\\docs\\x.bSE", DocumentKind::kBse},
      {"doc.bes", DocumentKind::kBes},
      {"/x/DOC.BeS", DocumentKind::kBes},
      // A folder's name says nothing about the file in it.
      {"/old.bse/doc.bes", DocumentKind::kBes},
      {"/old.BES/doc.txt", DocumentKind::kOther},
      {"doc.bse.bak", DocumentKind::kOther},
      {"bes", DocumentKind::kOther},
      {".bs", DocumentKind::kOther},
      {"", DocumentKind::kOther},
  };
  for (const auto& c : cases) EXPECT_EQ(DocumentKindOf(c.path), c.kind) << c.path;
}

}  // namespace
}  // namespace redadado
