// Reading a whole 999-page document as kana text, as `redadado-cli read` does without --page.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "preview/row_reading.h"
#include "preview/row_table.h"

namespace redadado {
namespace {

constexpr int kPages = 999;
constexpr int kLinesPerPage = 22;

// Lines of 32 cells mixing kana, voicing, contracted sounds, numbers and Latin letters.
constexpr const char* kLines[] = {
    "  O$TH )S\"*OH #A *\"%/ V=S IBOR$", "BZ' Y*\\;  O$THS I<KT BC )S\"*AH$",
    "  @K0 @:\\0 ^%C@MC .!0 5U BD 4U ",  "  ;,,NEF \"Q Q0\"\\ #BJBF P0L N%H4 ",
    "  ;,TARO ;AB4C A #AB1C 11K 3333",
};

std::filesystem::path WriteDocument() {
  const auto path = std::filesystem::temp_directory_path() / "redadado_bench_999.bse";
  std::ofstream out(path, std::ios::binary);
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d00%02d", kPages, kLinesPerPage);
  out << "BENCHDOC" << std::string(496, ' ') << digits << "\r\n";
  for (int n = 0; n < kPages * kLinesPerPage; ++n) out << kLines[n % std::size(kLines)] << "\r\n";
  return path;
}

void BM_ReadEveryPageAsKana(benchmark::State& state) {
  const std::filesystem::path path = WriteDocument();
  std::string text;
  for (auto _ : state) {
    text.clear();
    KanaReadingState marks;
    auto reader = PageRowReader::Open(path.string(), kLinesPerPage);
    if (!reader) {
      state.SkipWithError("cannot open the document");
      break;
    }
    for (int page = 1; page <= kPages; ++page) {
      const RowTable table = reader->NextPage();
      for (int r = FirstDrawnRow(kLinesPerPage, page); r < kLinesPerPage; ++r) {
        ReadRowAsKana(marks, table.rows[r],
                      [&](int, std::uint8_t cell, const KanaReading& reading) {
                        if (!reading.empty()) {
                          text += reading.text;
                        } else {
                          text += static_cast<char>(cell);
                        }
                      });
        text += '\n';
      }
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["pages"] = kPages;
  state.counters["text_bytes"] = static_cast<double>(text.size());
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadEveryPageAsKana)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace redadado
