// Opening the page overview of a 999-page 18-line document (the rows of every page read once,
// then the first screen painted) against re-reading the document for every page and painting the
// whole picture; and drawing one page view.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "preview/page_pictures.h"

namespace redadado {
namespace {

constexpr int kPages = 999;
constexpr int kLinesPerPage = 18;
// What the overview's scroll box shows at first: 902 × 289 pixels.
constexpr int kScreenWidth = 902;
constexpr int kScreenHeight = 289;

// Full lines of 32 cells, kana, voicing, contracted sounds and numbers.
constexpr const char* kLines[] = {
    "  O$TH )S\"*OH #A *\"%/ V=S IBOR$",
    "BZ' Y*\\;  O$THS I<KT BC )S\"*AH$",
    "  @K0 @:\\0 ^%C@MC .!0 5U BD 4U ",
    "  ;,,NEF \"Q Q0\"\\ #BJBF P0L N%H4 ",
};

const std::string& Document() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / "redadado_bench_preview_999.bse";
    std::ofstream out(file, std::ios::binary);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d00%02d", kPages, kLinesPerPage);
    out << "BENCHDOC" << std::string(496, ' ') << digits << "\r\n";
    for (int n = 0; n < kPages * kLinesPerPage; ++n) out << kLines[n % std::size(kLines)] << "\r\n";
    return file.string();
  }();
  return path;
}

void BM_OverviewOpenReadOnceFirstScreen(benchmark::State& state) {
  for (auto _ : state) {
    const OverviewModel model = OverviewModel::Read(Document(), kLinesPerPage, kPages);
    QImage screen(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    screen.fill(QColor::fromRgb(kButtonFace));
    QPainter painter(&screen);
    PaintThumbnails(painter, model, SlotsInRows(0, kScreenHeight, kPages));
    painter.end();
    benchmark::DoNotOptimize(screen.constBits());
  }
}
BENCHMARK(BM_OverviewOpenReadOnceFirstScreen)->Unit(benchmark::kMillisecond);

// Every page opens the document and reads it from its start, and the whole picture is painted.
void BM_OverviewOpenRereadPerPage(benchmark::State& state) {
  for (auto _ : state) {
    const Size size = OverviewSize(kPages);
    QImage picture(size.width, size.height, QImage::Format_RGB32);
    picture.fill(QColor::fromRgb(kButtonFace));
    QPainter painter(&picture);
    for (int page = 0; page < kPages; ++page) {
      const OverviewModel one = OverviewModel::Read(Document(), kLinesPerPage, page + 1);
      PaintThumbnails(painter, one, {page, page + 1});
    }
    painter.end();
    benchmark::DoNotOptimize(picture.constBits());
  }
}
BENCHMARK(BM_OverviewOpenRereadPerPage)->Unit(benchmark::kMillisecond);

void BM_PageViewDrawing(benchmark::State& state) {
  const bool kanaMode = state.range(0) != 0;
  for (auto _ : state) {
    const std::optional<RowTable> rows = ReadPageRows(Document(), kLinesPerPage, 500);
    const QImage image = DrawPage(
        LayOutPage(*rows, kLinesPerPage, 500, Paper::kB5, Orientation::kPortrait, kanaMode));
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PageViewDrawing)->Arg(0)->Arg(1)->ArgName("kana")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace redadado

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
