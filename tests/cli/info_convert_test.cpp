#include <gtest/gtest.h>

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

TEST(Cli, WrongUsageGivesStatusTwo) {
  EXPECT_EQ(RunCli({}).status, 2);
  EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
  EXPECT_EQ(RunCli({"info"}).status, 2);
  EXPECT_EQ(RunCli({"convert", "a.bes"}).status, 2);
  EXPECT_EQ(RunCli({"--help"}).status, 0);
}

}  // namespace
}  // namespace redadado
