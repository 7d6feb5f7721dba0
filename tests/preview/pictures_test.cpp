#include <gtest/gtest.h>

#include <QImage>

#include "preview/page_pictures.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using test::RunCli;
using test::TempDir;

const std::string kTaketori = std::string(REDADADO_SAMPLES_DIR) + "/taketori.bse";

QImage ReadPng(const std::filesystem::path& path) {
  return QImage(QString::fromStdString(path.string())).convertToFormat(QImage::Format_RGB32);
}

TEST(CliPictures, ViewIsThePageViewsDrawingForEachPaperOrientationAndMode) {
  TempDir dir;
  struct Case {
    std::vector<std::string> flags;
    Paper paper;
    Orientation orientation;
    bool kana;
  };
  const std::vector<Case> cases = {
      {{}, Paper::kB5, Orientation::kPortrait, false},
      {{"--kana"}, Paper::kB5, Orientation::kPortrait, true},
      {{"--a4", "--landscape"}, Paper::kA4, Orientation::kLandscape, false},
      {{"--kana", "--landscape"}, Paper::kB5, Orientation::kLandscape, true},
  };
  for (const Case& c : cases) {
    const auto png = dir / "page.png";
    std::vector<std::string> args = {"view", kTaketori, "--page", "2", "--png", png.string()};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    const auto r = RunCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const QImage expected = DrawPage(
        LayOutPage(*ReadPageRows(kTaketori, 18, 2), 18, 2, c.paper, c.orientation, c.kana));
    const QImage written = ReadPng(png);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected) << c.flags.size();
  }
}

TEST(CliPictures, OverviewIsTheWholePageImage) {
  TempDir dir;
  const auto png = dir / "all.png";
  const auto r = RunCli({"overview", kTaketori, "--png", png.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const QImage written = ReadPng(png);
  EXPECT_EQ(written.size(), QSize(880, 190));
  EXPECT_EQ(written.pixel(0, 0), 0xFFF0F0F0u);    // button face
  EXPECT_EQ(written.pixel(3, 187), 0xFF000080u);  // the page area's corner
  EXPECT_TRUE(written == DrawOverview(OverviewModel::Read(kTaketori, 18, 4)));
}

TEST(CliPictures, WrongPagesAndMissingDocuments) {
  TempDir dir;
  const std::string png = (dir / "x.png").string();
  auto r = RunCli({"view", kTaketori, "--page", "5", "--png", png});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("redadado-cli view: the document has 4 pages\n", 0), 0u) << r.err;
  EXPECT_EQ(RunCli({"view", kTaketori, "--png", png}).status, 2);
  EXPECT_EQ(RunCli({"overview", kTaketori}).status, 2);
  r = RunCli({"overview", (dir / "absent.bse").string(), "--png", png});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("ファイルがオープンできませんでした。\n", 0), 0u) << r.err;
  r = RunCli({"view", kTaketori, "--page", "1", "--png", (dir / "no" / "x.png").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(png));
}

}  // namespace
}  // namespace redadado
