// The BES import on arbitrary bytes: it must end, stay inside its buffers and write a header.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "document/bes_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string stem = "redadado-fuzz-" + std::to_string(getpid());
  const std::string bes = (dir / (stem + ".bes")).string();
  const std::string bse = (dir / (stem + ".bse")).string();
  if (std::FILE* f = std::fopen(bes.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  redadado::BrailleDocument document;
  if (!redadado::ConvertBesToBse(bes, bse, document)) {
    if (std::filesystem::file_size(bse) < 514) __builtin_trap();
    redadado::CheckBseHeader(document);
  }
  std::filesystem::remove(bes);
  std::filesystem::remove(bse);
  return 0;
}
