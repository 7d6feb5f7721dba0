// The kana reading and the page row table on arbitrary bytes: the input is read as pairs of
// cells, then as a document whose pages are read row by row.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "preview/row_reading.h"
#include "preview/row_table.h"

namespace {

int CharacterCount(std::string_view utf8) {
  int count = 0;
  for (const char byte : utf8) count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
  return count;
}

void Check(const redadado::KanaReading& reading) {
  const int characters = CharacterCount(reading.text);
  if (characters > 2 || reading.coversTwoCells != (characters == 2)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  redadado::KanaReadingState state;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    Check(redadado::ReadCellAsKana(state, data[i], data[i + 1]));
  }

  if (size == 0) return 0;
  // The first byte chooses the lines per page, past the 26 rows of the table at times.
  const int linesPerPage = 1 + data[0] % 40;
  const auto path =
      std::filesystem::temp_directory_path() /
      ("redadado_kana_fuzz_" + std::to_string(std::hash<std::string_view>{}(
                                   std::string_view(reinterpret_cast<const char*>(data), size))));
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);
  if (auto reader = redadado::PageRowReader::Open(path.string(), linesPerPage)) {
    for (int page = 1; page <= 4; ++page) {
      const redadado::RowTable table = reader->NextPage();
      for (const auto& row : table.rows) {
        if (row.back() != 0) __builtin_trap();
        redadado::ReadRowAsKana(
            state, row, [&](int column, std::uint8_t, const redadado::KanaReading& reading) {
              Check(reading);
              if (reading.coversTwoCells && column + 1 >= redadado::RowCellCount(row)) {
                __builtin_trap();
              }
            });
      }
    }
  }
  std::filesystem::remove(path);
  return 0;
}
