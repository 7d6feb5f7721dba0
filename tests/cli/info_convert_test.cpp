#include <gtest/gtest.h>

#include "app/file_paths.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using test::RunCli;
using test::TempDir;

const std::string kSamples = REDADADO_SAMPLES_DIR;

TEST(CliInfo, ShowsLinesAndPagesOfABseDocument) {
  const auto r = RunCli({"info", kSamples + "/taketori.bse"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("行数: 18 (１８行（両面）)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ページ数: 4"), std::string::npos) << r.out;
}

TEST(CliInfo, ShowsTheConversionOfABesDocument) {
  const auto r = RunCli({"info", kSamples + "/tenji.bes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("行数: 18"), std::string::npos) << r.out;
}

TEST(CliInfo, RefusedDocumentsGiveTheMessageAndStatusOne) {
  TempDir dir;
  const auto bad = dir.Write("bad.bse", std::string(503, ' ') + "00010024\r\n");
  auto r = RunCli({"info", bad.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "行数が不適切です。ＮＥＦでは扱えません。\n");
  r = RunCli({"info", (dir / "absent.bse").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ファイルがオープンできませんでした。\n");
  const auto garbage = dir.Write("garbage.bes", std::string("\xFF\x00\x01", 3));
  r = RunCli({"info", garbage.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "行数が不適切です。ＮＥＦでは扱えません。\n");
}

TEST(CliConvert, WritesTheTargetAndRefusesWhatCannotBeRead) {
  TempDir dir;
  const auto target = dir / "out.bse";
  auto r = RunCli({"convert", kSamples + "/tenji.bes", target.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string bse = test::ReadFile(target);
  ASSERT_GT(bse.size(), 514u);
  EXPECT_EQ(bse.substr(512, 2), "\r\n");

  r = RunCli({"convert", (dir / "absent.bes").string(), target.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("ファイルがオープンできませんでした。", 0), 0u);

  r = RunCli({"convert", kSamples + "/tenji.bes", (dir / "no" / "x.bse").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("ＢＳＥファイルが作成できませんでした。", 0), 0u);
}

// Names outside any ANSI code page: on Windows only wide arguments and wide file calls reach them.
TEST(Cli, DocumentsAndOutputsWithJapaneseNames) {
  TempDir dir;
  const std::string taketori = test::ReadFile(kSamples + "/taketori.bse");
  const std::string document = Utf8FromPath(dir.Write("竹取.bse", taketori));
  const std::string bes =
      Utf8FromPath(dir.Write("点字.bes", test::ReadFile(kSamples + "/tenji.bes")));
  auto r = RunCli({"info", document});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("ページ数: 4"), std::string::npos) << r.out;

  const std::string stream = Utf8FromPath(dir / "出力.bin");
  r = RunCli({"print", document, "--output", stream});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string plain = Utf8FromPath(dir / "plain.bin");
  ASSERT_EQ(RunCli({"print", kSamples + "/taketori.bse", "--output", plain}).status, 0);
  EXPECT_EQ(test::ReadFile(dir / "出力.bin"), test::ReadFile(dir / "plain.bin"));

  const std::string pictures = Utf8FromPath(dir / "画像");
  r = RunCli({"print", document, "--pages", "1-1", "--pictures", pictures});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(pictures), std::string::npos) << r.out;
  EXPECT_TRUE(std::filesystem::exists(dir / "画像" / "side-001.png"));

  r = RunCli({"convert", bes, Utf8FromPath(dir / "変換.bse")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "変換.bse"));
  r = RunCli({"read", bes, "--page", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(Cli, WrongUsageGivesStatusTwo) {
  EXPECT_EQ(RunCli({}).status, 2);
  EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
  EXPECT_EQ(RunCli({"info"}).status, 2);
  EXPECT_EQ(RunCli({"convert", "a.bes"}).status, 2);
  EXPECT_EQ(RunCli({"--help"}).status, 0);
}

}  // namespace
}  // namespace redadado
