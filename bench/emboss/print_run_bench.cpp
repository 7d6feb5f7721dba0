#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/messages.h"
#include "emboss/memory_sink.h"
#include "emboss/print_run.h"
#include "workflow/session.h"

namespace redadado {
namespace {

constexpr int kPages = 999;
constexpr int kLines = 18;

// 999 pages of 18 lines, about 28 cells a line of mixed braille, with the usual blank lines.
std::string LongDocument() {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d00%02d", kPages, kLines);
  std::string text = "BENCHDOC" + std::string(496, ' ') + digits + "\r\n";
  std::mt19937 random(7);
  std::uniform_int_distribution<int> cell(0x21, 0x5F);
  std::uniform_int_distribution<int> length(24, 32);
  for (int line = 0; line < kPages * kLines; ++line) {
    if (line % 6 == 5) {
      text += "  \r\n";
      continue;
    }
    const int cells = length(random);
    for (int c = 0; c < cells; ++c) text += c % 7 == 6 ? ' ' : static_cast<char>(cell(random));
    text += "\r\n";
  }
  return text;
}

class BenchControls : public PrintControls {
 public:
  int Copies() const override { return 1; }
  int StartPage() const override { return 1; }
  int LastPage() const override { return kPages; }
  SideMode Sides() const override { return SideMode::kFrontAndBack; }
  DotKind Dots() const override { return DotKind::kMedium; }
  std::string DocumentLabel() const override { return "bench.bse"; }
  void ResetDocumentControls() override {}
};

class YesMessages : public Messages {
 public:
  MessageAnswer Show(const std::string&, const std::string&, MessageIcon, MessageButtons) override {
    return MessageAnswer::kYes;
  }
};

// The engine's own time for the whole stream of a full-length double-sided document.
void BM_PrintDocumentBothSides(benchmark::State& state) {
  const auto directory = std::filesystem::temp_directory_path() / "redadado-print-bench";
  std::filesystem::create_directories(directory);
  const auto path = directory / "bench.bse";
  {
    const std::string text = LongDocument();
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<long>(text.size()));
  }
  Session session{AppPaths(directory)};
  session.document.path = path.string();
  BenchControls controls;
  NoWindowsPrintUi ui;
  YesMessages messages;
  std::size_t bytes = 0;
  for (auto _ : state) {
    MemorySink sink;
    sink.bytes.reserve(bytes);
    PrintDocument(session.document.path, session.run, controls, ui, messages, sink, true);
    bytes = sink.bytes.size();
    benchmark::DoNotOptimize(sink.bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove_all(directory);
}
BENCHMARK(BM_PrintDocumentBothSides)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace redadado
