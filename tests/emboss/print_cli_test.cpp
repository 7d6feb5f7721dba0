#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TempDir;

const std::string kSamples = REDADADO_SAMPLES_DIR;
const std::filesystem::path kStreams = std::filesystem::path(REDADADO_TEST_DATA_DIR) / "streams";

TEST(CliPrint, WritesTheStreamOfASample) {
  TempDir dir;
  const auto out = dir / "taketori.bin";
  auto r = RunCli({"print", kSamples + "/taketori.bse", "--output", out.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(ReadFile(out) == ReadFile(kStreams / "cli_taketori_both.bin"));
  // The back-side question is shown and answered.
  EXPECT_NE(r.err.find("裏（偶数ページ）を印刷します。"), std::string::npos) << r.err;

  r = RunCli({"print", kSamples + "/taketori.bse", "--side", "front", "--pages", "1-2", "--copies",
              "2", "--dots", "large-double", "--output", out.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(ReadFile(out) == ReadFile(kStreams / "cli_taketori_front_1_2.bin"));
}

TEST(CliPrint, BackSideDeclinedPrintsTheFrontsOnly) {
  TempDir dir;
  const auto both = dir / "both.bin";
  const auto front = dir / "front.bin";
  ASSERT_EQ(RunCli({"print", kSamples + "/taketori.bse", "--back", "no", "--output", both.string()})
                .status,
            0);
  ASSERT_EQ(RunCli({"print", kSamples + "/taketori.bse", "--side", "0", "--output", front.string()})
                .status,
            0);
  EXPECT_EQ(ReadFile(both), ReadFile(front));
}

TEST(CliPrint, PicturesOfTheVirtualEmbosser) {
  TempDir dir;
  const auto pictures = dir / "sheets";
  const auto r = RunCli({"print", kSamples + "/kaze.bse", "--pictures", pictures.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(pictures / "side-001.png"));
  EXPECT_NE(r.out.find(pictures.string()), std::string::npos) << r.out;
}

TEST(CliPrint, WrongUsageGivesStatusTwo) {
  TempDir dir;
  const std::string out = (dir / "x.bin").string();
  const std::string doc = kSamples + "/taketori.bse";
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"print"},
                                             {"print", doc, "--output"},
                                             {"print", doc, "--pages", "0-3", "--output", out},
                                             {"print", doc, "--pages", "2-x", "--output", out},
                                             {"print", doc, "--side", "sideways", "--output", out},
                                             {"print", doc, "--side", "5", "--output", out},
                                             {"print", doc, "--dots", "huge", "--output", out},
                                             {"print", doc, "--copies", "0", "--output", out},
                                             {"print", doc, "--back", "maybe", "--output", out},
                                             {"print", doc, "--colour", "red", "--output", out},
                                             {"print", doc, doc, "--output", out},
                                             {"print", doc, "--port", "COM1", "--output", out}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args.back() << " " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliPrint, RefusedDocumentsAndUnwritableOutputGiveStatusOne) {
  TempDir dir;
  const auto bad = dir.Write("bad.bse", std::string(503, ' ') + "00010024\r\n");
  const std::string out = (dir / "x.bin").string();
  auto r = RunCli({"print", bad.string(), "--output", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "行数が不適切です。ＮＥＦでは扱えません。\n");
  EXPECT_FALSE(std::filesystem::exists(out));
  r = RunCli({"print", (dir / "absent.bse").string(), "--output", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("ファイルがオープンできませんでした。\n", 0), 0u) << r.err;
  r = RunCli({"print", kSamples + "/taketori.bse", "--output", (dir / "no/x.bin").string()});
  EXPECT_EQ(r.status, 1);
  if (std::filesystem::exists("/dev/full")) {
    r = RunCli({"print", kSamples + "/taketori.bse", "--output", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("/dev/full"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace redadado
