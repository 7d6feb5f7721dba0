#include "emboss/print_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "print_test_support.h"

namespace redadado {
namespace {

using test::MarkedDocument;
using test::RunFixture;
using test::Summary;

const std::filesystem::path kStreams = std::filesystem::path(REDADADO_TEST_DATA_DIR) / "streams";

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
  const std::string text = test::ReadFile(file);
  return {text.begin(), text.end()};
}

// Compares with the golden stream; REDADADO_UPDATE_GOLDENS=1 rewrites it instead.
void ExpectGolden(const std::string& name, const std::vector<std::uint8_t>& actual) {
  const auto file = kStreams / (name + ".bin");
  if (std::getenv("REDADADO_UPDATE_GOLDENS") != nullptr) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(actual.data()),
               static_cast<std::streamsize>(actual.size()));
  }
  ASSERT_TRUE(std::filesystem::exists(file)) << file;
  const std::vector<std::uint8_t> expected = ReadBytes(file);
  EXPECT_TRUE(expected == actual) << name << ": " << test::HexDiff(expected, actual);
}

struct GoldenCase {
  std::string name;
  int linesPerPage;
  int pages;
  int lastPageLines;                               // -1: a full last page
  int copies, startPage, lastPage, side, dotKind;  // side and dot kind as list items
  std::string summary;                             // the stream as checked by hand
};

class GoldenStreamTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenStreamTest, SendsTheExpectedStream) {
  const GoldenCase& c = GetParam();
  RunFixture run;
  run.SetDocument(MarkedDocument(c.linesPerPage, c.pages, c.lastPageLines), c.pages,
                  c.linesPerPage);
  run.controls.copies = c.copies;
  run.controls.startPage = c.startPage;
  run.controls.lastPage = c.lastPage;
  run.controls.side = SideModeOfItem(c.side);
  run.controls.dots = DotKindOfItem(c.dotKind);
  MemorySink sink;
  EXPECT_EQ(run.Run(sink), PrintResult::kDone);
  EXPECT_EQ(Summary(sink.bytes), c.summary);
  ExpectGolden(c.name, sink.bytes);
  EXPECT_EQ(run.controls.resets, 1);
}

INSTANTIATE_TEST_SUITE_P(
    SideModesCopiesAndRanges, GoldenStreamTest,
    ::testing::Values(
        GoldenCase{"side_none_18", 18, 4, -1, 1, 1, 4, -1, 0, "S1 P1 P3 CR"},
        GoldenCase{"side_front_18", 18, 4, -1, 1, 1, 4, 0, 0, "S1 P1 P3 R CR"},
        GoldenCase{"side_back_18", 18, 4, -1, 1, 1, 4, 1, 0, "S1 P2 P4 P- CR"},
        GoldenCase{"side_both_18", 18, 4, -1, 1, 1, 4, 2, 0, "S1 P1 P3 R P2 P4 P- CR"},
        GoldenCase{"side_in_order_18", 18, 4, -1, 1, 1, 4, 3, 0, "S1 P1 P2 P3 P4 CR"},
        GoldenCase{"side_single_18", 18, 4, -1, 1, 1, 4, 4, 0, "S1 P1 P2 P3 P4 CR"},
        // Later copies start with the digit '1' of the restart sequence.
        GoldenCase{"copies_front_large", 18, 4, -1, 2, 1, 4, 0, 1, "S2 P1 P3 R P1 P3 R CR"},
        GoldenCase{"pages_2_3_both", 18, 4, -1, 1, 2, 3, 2, 0, "S1 P3 R P2 P- CR"},
        GoldenCase{"double_strike_large", 18, 2, -1, 1, 1, 2, 3, 3, "S2 P1d P2d CR"},
        // The end of the file after a full page, with the last page set beyond it.
        GoldenCase{"empty_last_page", 18, 2, -1, 1, 1, 3, 3, 0, "S1 P1 P2 P- CR"},
        // The front pass meets the end of the file on a back page: a blank sheet side.
        GoldenCase{"ends_on_even_page", 18, 4, 9, 1, 1, 4, 2, 0, "S1 P1 P3 P- R P2 P4 P- CR"},
        GoldenCase{"start_beyond_end", 18, 2, -1, 1, 5, 6, 3, 0, "S1 P- CR"},
        GoldenCase{"start_above_last", 18, 4, -1, 1, 3, 2, 2, 0, "S1 R P- CR"},
        GoldenCase{"lines22_none", 22, 3, -1, 1, 1, 3, -1, 0, "S1 P1 P2 P3 CR"},
        GoldenCase{"lines22_both", 22, 3, -1, 1, 1, 3, 2, 0, "S1 P1 P2 P3 R P1 P2 P3 CR"},
        GoldenCase{"lines22_single", 22, 3, -1, 1, 1, 3, 4, 2, "S1 P1d P2d P3d CR"}),
    [](const auto& param) { return param.param.name; });

TEST(PrintRunText, NulSpacesAndFirstLinesDrawAsTheyShould) {
  RunFixture run;
  // Line 1: NUL is a blank cell; line 2: NUL ends the line; line 3: trailing spaces; line 4:
  // spaces only; last line without LF.
  std::string body =
      std::string("A\0B\r\n", 5) + std::string("C\0D\r\n", 5) + "E  \r\n" + "   \r\n" + "ZZ";
  run.SetDocument(body, 1, 18);
  run.controls.side = SideMode::kFrontAndBackInOrder;
  MemorySink sink;
  EXPECT_EQ(run.Run(sink), PrintResult::kDone);
  ExpectGolden("nul_and_spaces", sink.bytes);
}

TEST(PrintRun, RefusedDocumentsSendNothing) {
  RunFixture run;
  MemorySink sink;
  run.session.document.path = (run.dir / "absent.bse").string();
  EXPECT_EQ(run.Run(sink), PrintResult::kRefused);
  run.SetDocument(MarkedDocument(20, 1), 1, 20);
  EXPECT_EQ(run.Run(sink), PrintResult::kRefused);
  EXPECT_TRUE(sink.bytes.empty());
  EXPECT_EQ(run.messages.texts,
            (std::vector<std::string>{std::string("確認: ") + kCannotOpenFile,
                                      std::string("確認: ") + kUnsupportedLineCount}));
  EXPECT_EQ(run.controls.resets, 0);
}

TEST(PrintRun, CopiesRaisedDuringTheFirstCopyAreMade) {
  RunFixture run;
  run.SetDocument(MarkedDocument(18, 4), 4, 18);
  run.controls.side = SideMode::kFrontOnly;
  run.controls.lastPage = 4;
  run.ui.onPump = [&](int pump) {
    if (pump == 5) run.controls.copies = 2;
  };
  MemorySink sink;
  run.Run(sink);
  EXPECT_EQ(Summary(sink.bytes), "S1 P1 P3 R P1 P3 R CR");
  EXPECT_EQ(run.controls.copiesReads, 3);
}

TEST(PrintRun, DoubleStrikeChosenMidPageCountsFromTheNextDot) {
  RunFixture run;
  run.SetDocument("==\r\n", 1, 18);  // 12 dots in one row
  run.controls.side = SideMode::kFrontAndBackInOrder;
  MemorySink sink;
  run.ui.onPump = [&](int) {
    if (sink.bytes.size() == 8) run.controls.dots = DotKind::kMediumDouble;  // within the first dot
  };
  run.Run(sink);
  EXPECT_EQ(sink.bytes[6], '1');
  // Start, one single dot, eleven double dots, FF, CR.
  ASSERT_EQ(sink.bytes.size(), 7u + 4 + 11 * 8 + 2);
  const std::vector<std::uint8_t> second(sink.bytes.begin() + 11, sink.bytes.begin() + 19);
  EXPECT_TRUE(std::equal(second.begin(), second.begin() + 4, second.begin() + 4));
  EXPECT_FALSE(
      std::equal(sink.bytes.begin() + 7, sink.bytes.begin() + 11, sink.bytes.begin() + 11));
}

TEST(PrintRun, BackSideDeclinedEndsOnlyThatCopy) {
  RunFixture run;
  run.SetDocument(MarkedDocument(18, 4), 4, 18);
  run.controls.copies = 2;
  run.controls.lastPage = 4;
  run.messages.answers = {false, true};
  MemorySink sink;
  EXPECT_EQ(run.Run(sink), PrintResult::kDone);
  EXPECT_EQ(Summary(sink.bytes), "S1 P1 P3 R P1 P3 R P2 P4 P- CR");
  EXPECT_EQ(run.ui.pagesSent, (std::vector<std::string>{"1:1", "1:3", "2:1", "2:3", "2:2", "2:4"}));
  const std::string question = std::string("確認: ") + kBackSideQuestion;
  EXPECT_EQ(run.messages.texts, (std::vector<std::string>{question, question}));
}

TEST(PrintRun, ProgressWindowAndTextInAWindowedRunOnly) {
  RunFixture run;
  run.SetDocument(MarkedDocument(22, 2), 2, 22);
  MemorySink sink;
  run.Run(sink);
  EXPECT_EQ(run.ui.calls,
            (std::vector<std::string>{
                "現在、doc.bse の 1 部目、1 ページ目を送信中です。", "show", "hide", "show",
                "現在、doc.bse の 1 部目、1 ページ目を送信中です。",
                "現在、doc.bse の 1 部目、2 ページ目を送信中です。", "hide", "show",
                "現在、doc.bse の 1 部目、1 ページ目を送信中です。",
                "現在、doc.bse の 1 部目、2 ページ目を送信中です。", "hide", "hide-escape"}));
  RunFixture quiet;
  quiet.SetDocument(MarkedDocument(22, 2), 2, 22);
  MemorySink quietSink;
  quiet.Run(quietSink, true);
  EXPECT_TRUE(quiet.ui.calls.empty());
  EXPECT_EQ(quietSink.bytes, sink.bytes);
  // The window is up before the first byte is offered, even when the embosser never takes it.
  RunFixture held;
  held.SetDocument(MarkedDocument(22, 2), 2, 22);
  MemorySink refusing(0);
  held.Run(refusing);
  ASSERT_GE(held.ui.calls.size(), 2u);
  EXPECT_EQ(held.ui.calls[1], "show");
}

// Esc pressed while the dot of page `escPage` is being sent (single-dot pages, side 3 or 0).
struct Interruption {
  std::string name;
  int side;
  int startPage;
  int escAfterBytes;               // stream size at which Esc is pressed
  std::vector<int> dialogAnswers;  // ResumePage left by each dialog (-1: closed without OK)
  std::deque<bool> confirmations;
  int resumePageBefore;
  std::string summary;
  PrintResult result;
};

class InterruptionTest : public ::testing::TestWithParam<Interruption> {};

TEST_P(InterruptionTest, ResumesOrStopsAsAnswered) {
  const Interruption& c = GetParam();
  RunFixture run;
  run.SetDocument(MarkedDocument(18, 6), 6, 18);
  run.controls.side = SideModeOfItem(c.side);
  run.controls.startPage = c.startPage;
  run.controls.lastPage = 6;
  run.session.run.resumePage = c.resumePageBefore;
  run.messages.answers = c.confirmations;
  MemorySink sink;
  bool pressed = false;
  run.ui.onPump = [&](int) {
    if (!pressed && static_cast<int>(sink.bytes.size()) == c.escAfterBytes) {
      pressed = true;
      run.session.run.escapeRequested = 1;
    }
  };
  std::size_t dialogs = 0;
  run.ui.onResumeDialog = [&](int) {
    ASSERT_LT(dialogs, c.dialogAnswers.size());
    if (c.dialogAnswers[dialogs] >= 0) run.session.run.resumePage = c.dialogAnswers[dialogs];
    ++dialogs;
  };
  EXPECT_EQ(run.Run(sink), c.result);
  EXPECT_EQ(Summary(sink.bytes), c.summary);
  EXPECT_EQ(dialogs, c.dialogAnswers.size());
  EXPECT_EQ(run.controls.resets, 1);
  EXPECT_EQ(run.session.run.escapeRequested, 0);
}

// With side 3 page p's dot is bytes 7 + 5(p-1) .. +3; Esc at 13 falls inside page 2.
INSTANTIATE_TEST_SUITE_P(
    ResumeAnswers, InterruptionTest,
    ::testing::Values(
        Interruption{"stop", 3, 1, 13, {0}, {}, 0, "S1 P1 P2 CR", PrintResult::kStopped},
        Interruption{"earlier_page",
                     3,
                     1,
                     13,
                     {1},
                     {true},
                     0,
                     "S1 P1 P2 P1 P2 P3 P4 P5 P6 CR",
                     PrintResult::kDone},
        Interruption{"before_start_page",
                     3,
                     2,
                     8,
                     {1},
                     {true},
                     0,
                     "S1 P2 P2 P3 P4 P5 P6 CR",
                     PrintResult::kDone},
        // Front pass: Esc within page 3, resume from the back page 2 goes on with page 3.
        Interruption{
            "other_side", 0, 1, 13, {2}, {true}, 0, "S1 P1 P3 P3 P5 R CR", PrintResult::kDone},
        Interruption{
            "cancel_then_stop", 3, 1, 13, {1, 0}, {false}, 0, "S1 P1 P2 CR", PrintResult::kStopped},
        Interruption{"closed_keeps_last_ok",
                     3,
                     1,
                     13,
                     {-1},
                     {true},
                     5,
                     "S1 P1 P2 P5 P6 CR",
                     PrintResult::kDone},
        Interruption{
            "closed_without_any_ok", 3, 1, 13, {-1}, {}, 0, "S1 P1 P2 CR", PrintResult::kStopped},
        // Esc while lines are read (before any byte of page 1's dot) is forgotten.
        Interruption{"esc_while_reading",
                     3,
                     1,
                     7,
                     {},
                     {},
                     0,
                     "S1 P1 P2 P3 P4 P5 P6 CR",
                     PrintResult::kDone}),
    [](const auto& param) { return param.param.name; });

TEST(PrintRun, EscapeNoticeAndResumeDialogAfterThePage) {
  RunFixture run;
  run.SetDocument(MarkedDocument(18, 3), 3, 18);
  run.controls.side = SideMode::kFrontAndBackInOrder;
  MemorySink sink;
  run.ui.onPump = [&](int) {
    if (sink.bytes.size() == 13) run.session.run.escapeRequested = 1;
  };
  run.Run(sink);
  const std::vector<std::string> expected = {"escape", "hide-escape", "resume-dialog 2", "hide",
                                             "hide-escape"};
  std::vector<std::string> windows;
  for (const auto& call : run.ui.calls) {
    if (call.find("現在") == std::string::npos && call != "show") windows.push_back(call);
  }
  windows.erase(windows.begin());  // the hide at the start of the pass
  EXPECT_EQ(windows, expected);
}

// The file ends within page 2 while Esc is pending: the resume dialog comes before copy 2.
TEST(PrintRun, EscInAShortLastPageIsTakenUpBeforeTheNextCopy) {
  RunFixture run;
  run.SetDocument(MarkedDocument(18, 2, 3), 2, 18);
  run.controls.side = SideMode::kFrontAndBackInOrder;
  run.controls.copies = 2;
  MemorySink sink;
  run.ui.onPump = [&](int) {
    if (sink.bytes.size() == 13) run.session.run.escapeRequested = 1;
  };
  std::vector<int> dialogs;
  run.ui.onResumeDialog = [&](int limit) {
    dialogs.push_back(limit);
    run.session.run.resumePage = 0;
  };
  EXPECT_EQ(run.Run(sink), PrintResult::kStopped);
  EXPECT_EQ(Summary(sink.bytes), "S1 P1 P2 CR");
  EXPECT_EQ(dialogs, std::vector<int>{2});
}

class LinkFailureTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LinkFailureTest, EndsTheRunAtOnce) {
  RunFixture run;
  run.SetDocument(MarkedDocument(18, 4), 4, 18);
  MemorySink full;
  run.Run(full);
  run.controls.resets = 0;
  run.messages.texts.clear();

  MemorySink sink(GetParam());
  EXPECT_EQ(run.Run(sink), PrintResult::kLinkFailed);
  EXPECT_EQ(sink.refused, 1);  // nothing is offered after the failure
  EXPECT_TRUE(std::equal(sink.bytes.begin(), sink.bytes.end(), full.bytes.begin()));
  EXPECT_EQ(run.controls.resets, 1);
  ASSERT_FALSE(run.messages.texts.empty());
  EXPECT_EQ(run.messages.texts.back(),
            "確認: 点字プリンターへの送信に失敗しました。印刷を中止します。\nthe link went away");
}

// First byte, within the start, a page's dot, a form feed, the restart sequence, the final FF,
// the final CR.
INSTANTIATE_TEST_SUITE_P(AtEveryPiece, LinkFailureTest,
                         ::testing::Values(0, 3, 8, 11, 19, 36, 37, 38));

TEST(PrintRun, OverlongLinesAreCutAndStillCounted) {
  RunFixture run;
  std::string body = MarkedDocument(22, 2);
  // Page 1's lines 1 and 3 become 300 full cells: 32 of them fit on the raster.
  const std::string longLine = std::string(300, '=') + "\r\n";
  body.replace(0, 4, longLine);
  const std::size_t third = body.find("  \r\n", longLine.size() + 3);
  body.replace(third, 4, longLine);
  run.SetDocument(body, 2, 22);
  run.controls.side = SideMode::kNone;
  run.controls.lastPage = 2;
  MemorySink sink;
  EXPECT_EQ(run.Run(sink), PrintResult::kDone);
  // Page 1: 2 rows of 32 cells of 6 dots, plus the marker; page 2 unchanged.
  const std::size_t firstPage = (2 * 32 * 6 + 1) * 4 + 1;
  ASSERT_GT(sink.bytes.size(), 7 + firstPage);
  EXPECT_EQ(sink.bytes[7 + firstPage - 1], 0x0C);
  const std::vector<std::uint8_t> rest(sink.bytes.begin() + 7 + static_cast<long>(firstPage),
                                       sink.bytes.end());
  EXPECT_EQ(Summary(rest), "P2 CR");
}

TEST(PrintRun, ResumeBeyondThePageTableReadsOnFromItsLastEntry) {
  RunFixture run;
  // Only pages 1001 and 1002 have a dot, in columns 0 and 1.
  std::string body;
  for (int page = 1; page <= 1002; ++page) {
    for (int line = 1; line <= 18; ++line) {
      body += line != 2 ? "  \r\n" : page == 1001 ? "A\r\n" : page == 1002 ? " A\r\n" : "  \r\n";
    }
  }
  run.SetDocument(body, 999, 18);
  run.controls.side = SideMode::kFrontAndBackInOrder;
  run.controls.startPage = 1001;
  run.controls.lastPage = 1002;
  MemorySink sink;
  run.ui.onPump = [&](int) {
    if (sink.bytes.size() == 8) run.session.run.escapeRequested = 1;
  };
  run.ui.onResumeDialog = [&](int maxPage) {
    EXPECT_EQ(maxPage, 1001);
    run.session.run.resumePage = 1001;
  };
  EXPECT_EQ(run.Run(sink), PrintResult::kDone);
  EXPECT_EQ(Summary(sink.bytes), "S1 P1 P1 P2 CR");
  EXPECT_EQ(run.messages.texts.back(),
            "確認: 1001 ページから印刷を再開します。準備はよろしいですか？");
}

}  // namespace
}  // namespace redadado
