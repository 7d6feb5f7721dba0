#include <gtest/gtest.h>

#include "base/file_paths.h"
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
  EXPECT_EQ(r.err.rfind("ファイルがオープンできませんでした。\n", 0), 0u) << r.err;
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

TEST(Cli, WrongUsageGivesStatusTwoAndTheSameWordingForEveryCommand) {
  EXPECT_EQ(RunCli({}).status, 2);
  EXPECT_EQ(RunCli({"convert", "a.bes"}).status, 2);
  // What is wrong, the command's usage, where its help is.
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"frobnicate"},
       "redadado-cli: unknown command: frobnicate\nUsage: redadado-cli [OPTIONS] "
       "COMMAND\n(redadado-cli --help)\n"},
      {{"info"},
       "redadado-cli info: DOCUMENT is required\nUsage: redadado-cli info [OPTIONS] "
       "DOCUMENT\n(redadado-cli info --help)\n"},
      {{"read", "x.bse", "--page", "010x"},
       "redadado-cli read: --page: takes a number from 1 to 999, not 010x\nUsage: redadado-cli "
       "read [OPTIONS] DOCUMENT\n(redadado-cli read --help)\n"},
      {{"print", "x.bse", "--copies", "0x10"},
       "redadado-cli print: --copies: takes a number from 1 to 999, not 0x10\nUsage: "
       "redadado-cli print [OPTIONS] DOCUMENT\n(redadado-cli print --help)\n"},
  };
  for (const auto& [args, err] : cases) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args.front();
    EXPECT_EQ(r.err, err);
    EXPECT_EQ(r.out, "");
  }
}

TEST(Cli, EveryCommandHasItsOwnHelp) {
  auto r = RunCli({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const std::string command : {"info", "convert", "print", "read"}) {
    EXPECT_NE(r.out.find("\n  " + command + " "), std::string::npos) << command << r.out;
    const auto help = RunCli({command, "--help"});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_NE(help.out.find("Usage: redadado-cli " + command + " "), std::string::npos) << help.out;
  }
  EXPECT_NE(
      RunCli({"print", "--help"}).out.find("--side none|front|back|both|both-in-order|single"),
      std::string::npos);
}

}  // namespace
}  // namespace redadado
