#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using test::BseHeaderLine;
using test::ReadFile;
using test::RunCli;
using test::TempDir;

const std::string kSamples = REDADADO_SAMPLES_DIR;
const std::string kData = REDADADO_TEST_DATA_DIR;

TEST(CliRead, OnePageMatchesItsGoldenText) {
  const auto r = RunCli({"read", kSamples + "/taketori.bse", "--page", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ReadFile(kData + "/read_taketori_page1.txt"));
}

TEST(CliRead, EveryPageInOrderMatchesItsGoldenText) {
  const auto r = RunCli({"read", kSamples + "/taketori.bse"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ReadFile(kData + "/read_taketori.txt"));
}

TEST(CliRead, ShowsPatternsBlanksAndTheDrawnRows) {
  TempDir dir;
  // Page 1: a dakuten prefix at the end of the last line, which does not reach page 2; page 2
  // (an even page of an 18-line document) begins with a line that is not drawn.
  std::string body = "@K  #AB\r\n" + std::string(16, '\n') + "X\"\r\n";
  body += "HIDDEN\r\n*-\r\nCD";
  const auto path = dir.Write("doc.bse", BseHeaderLine(3, 18) + body).string();

  auto r = RunCli({"read", path});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string pageView = "にゃ  ⠼１２\n" + std::string(16, '\n') + "ふ⠐\n";
  const std::string page2 = "か⠤\nうる⠀\n" + std::string(15, '\n');
  const std::string page3 = std::string(18, '\n');
  EXPECT_EQ(r.out, "ページ 1\n" + pageView + "ページ 2\n" + page2 + "ページ 3\n" + page3);

  r = RunCli({"read", "--dots", path, "--page", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "⠈⠅⠀⠀⠼⠁⠃\n" + std::string(16, '\n') + "⠭⠐\n");
}

// Every page of the whole reading is the page read alone, whatever the page before it left
// pending (pages 1 and 2 end with a dakuten prefix).
TEST(CliRead, APageReadsTheSameAloneAsInTheWhole) {
  TempDir dir;
  std::string body = "A\r\n" + std::string(20, '\n') + "X\"\r\n";
  body += "*A\r\n" + std::string(20, '\n') + "X\"\r\n" + "*\r\n";
  const std::vector<std::string> documents = {
      dir.Write("marks.bse", BseHeaderLine(3, 22) + body).string(), kSamples + "/taketori.bse",
      kSamples + "/kaze.bse"};
  for (const std::string& document : documents) {
    SCOPED_TRACE(document);
    const auto whole = RunCli({"read", document});
    ASSERT_EQ(whole.status, 0) << whole.err;
    std::string joined;
    for (int page = 1; whole.out.find("ページ " + std::to_string(page) + "\n") != std::string::npos;
         ++page) {
      const auto alone = RunCli({"read", document, "--page", std::to_string(page)});
      ASSERT_EQ(alone.status, 0) << alone.err;
      joined += "ページ " + std::to_string(page) + "\n" + alone.out;
    }
    EXPECT_EQ(joined, whole.out);
  }
  const auto page3 = RunCli({"read", documents[0], "--page", "3"});
  EXPECT_EQ(page3.out.substr(0, page3.out.find('\n')), "か");
}

TEST(CliRead, ReadsABesDocumentAfterConvertingIt) {
  const auto r = RunCli({"read", kSamples + "/tenji.bes", "--page", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("りょこう ひゃく みょうにち"), std::string::npos) << r.out;
}

TEST(CliRead, RefusesBadUsageAndBadDocuments) {
  TempDir dir;
  const auto path = dir.Write("doc.bse", BseHeaderLine(2, 22) + "A\r\n").string();
  EXPECT_EQ(RunCli({"read", path, "--page", "3"}).status, 2);
  EXPECT_EQ(RunCli({"read", path, "--page", "0"}).status, 2);
  EXPECT_EQ(RunCli({"read", path, "--page"}).status, 2);
  EXPECT_EQ(RunCli({"read", path, "--colour"}).status, 2);
  EXPECT_EQ(RunCli({"read"}).status, 2);
  EXPECT_EQ(RunCli({"read", path, path}).status, 2);

  const auto r = RunCli({"read", (dir / "absent.bse").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("ファイルがオープンできませんでした。\n", 0), 0u) << r.err;
}

}  // namespace
}  // namespace redadado
