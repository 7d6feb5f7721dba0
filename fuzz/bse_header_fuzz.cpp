// The BSE header check on arbitrary bytes.
#include <cstdint>
#include <cstdio>
#include <string>

#include "document/bse_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::rewind(file);
  if (const auto header = redadado::ReadBseHeader(file)) {
    if (header->pageCount < 0 || header->pageCount > 999 || header->linesPerPage < 0 ||
        header->linesPerPage > 99) {
      __builtin_trap();
    }
  }
  std::fclose(file);
  return 0;
}
