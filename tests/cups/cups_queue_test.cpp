// The CUPS queue end to end: jobs through the private scheduler, the filter and the backend to
// the simulated embosser.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "cups/cups_queue.h"

namespace redadado::cups {
namespace {

TEST_F(CupsQueue, BseAndBesJobsReachTheEmbosserAsTheToolMakesThem) {
  auto embosser = StartEmbosser();
  ASSERT_TRUE(embosser);
  const int bse = Lp("-n 2 -o page-ranges=2-3 -o redadado-dots=large-double", Sample("kaze.bse"));
  ASSERT_GT(bse, 0);
  EXPECT_EQ(Settled(bse).state, IPP_JSTATE_COMPLETED) << Job(bse).message;
  EXPECT_EQ(
      Received(*embosser, 0),
      CliStream(Sample("kaze.bse"), {"--copies", "2", "--pages", "2-3", "--dots", "large-double"}));

  const int bes = Lp("-n 2 -o page-ranges=1-2 -o redadado-dots=large-double -o redadado-side=front",
                     Sample("tenji.bes"));
  ASSERT_GT(bes, 0);
  EXPECT_EQ(Settled(bes).state, IPP_JSTATE_COMPLETED) << Job(bes).message;
  EXPECT_EQ(Received(*embosser, 1),
            CliStream(Sample("tenji.bes"), {"--copies", "2", "--pages", "1-2", "--dots",
                                            "large-double", "--side", "front"}));
  // The filter's page accounting reached the queue's page log.
  const std::string pageLog = test::ReadFile(base_->path() / "log/page_log");
  EXPECT_NE(pageLog.find("kaze.bse"), std::string::npos) << pageLog;
  EXPECT_NE(pageLog.find("tenji.bes"), std::string::npos) << pageLog;
}

TEST_F(CupsQueue, ADoubleSidedJobIsRefusedAndGoesAsFrontsAndBacks) {
  auto embosser = StartEmbosser();
  ASSERT_TRUE(embosser);
  const int both = Lp("", Sample("taketori.bse"));
  ASSERT_GT(both, 0);
  const JobStatus refused = Settled(both);
  EXPECT_EQ(refused.state, IPP_JSTATE_CANCELED);
  EXPECT_NE(refused.message.find("redadado-side=front"), std::string::npos) << refused.message;
  EXPECT_FALSE(embosser->WaitForSessions(1, milliseconds(300)));

  const int fronts = Lp("-o redadado-side=front", Sample("taketori.bse"));
  ASSERT_GT(fronts, 0);
  EXPECT_EQ(Settled(fronts).state, IPP_JSTATE_COMPLETED);
  EXPECT_EQ(Received(*embosser, 0), CliStream(Sample("taketori.bse"), {"--side", "front"}));
  const int backs = Lp("-o redadado-side=back", Sample("taketori.bse"));
  ASSERT_GT(backs, 0);
  EXPECT_EQ(Settled(backs).state, IPP_JSTATE_COMPLETED);
  EXPECT_EQ(Received(*embosser, 1), CliStream(Sample("taketori.bse"), {"--side", "back"}));
}

TEST_F(CupsQueue, TextAndRawJobsNeverReachTheEmbosser) {
  auto embosser = StartEmbosser();
  ASSERT_TRUE(embosser);
  const fs::path text = base_->Write("notes.txt", "not braille\n");
  std::string said;
  EXPECT_EQ(Lp("", text.string(), &said), 0);
  EXPECT_NE(said.find("document-format"), std::string::npos) << said;

  const int raw = Lp("-o raw", Sample("kaze.bse"));
  ASSERT_GT(raw, 0);
  const JobStatus rawEnd = Settled(raw);
  EXPECT_EQ(rawEnd.state, IPP_JSTATE_CANCELED);
  EXPECT_NE(rawEnd.message.find("raw"), std::string::npos) << rawEnd.message;

  // Forced to the BSE type, the text meets the header check.
  const int forced = Lp("-o document-format=application/x-redadado-bse", text.string());
  ASSERT_GT(forced, 0);
  const JobStatus forcedEnd = Settled(forced);
  EXPECT_EQ(forcedEnd.state, IPP_JSTATE_CANCELED);
  EXPECT_NE(forcedEnd.message.find(kUnsupportedLineCount), std::string::npos) << forcedEnd.message;
  // Nor may anyone send the embosser stream itself.
  EXPECT_EQ(Lp("-o document-format=application/x-redadado-embosser", Sample("kaze.bse")), 0);

  EXPECT_FALSE(embosser->WaitForSessions(1, milliseconds(300)));
  EXPECT_TRUE(embosser->Sessions().empty());
}

TEST_F(CupsQueue, CancelWhileTheEmbosserHoldsXoffEndsAtOnceAndTheNextJobPrints) {
  SimulatorOptions holding;
  holding.holdAfterBytes = 300;
  holding.holdFor = milliseconds(120000);  // out of paper
  auto embosser = StartEmbosser(holding);
  ASSERT_TRUE(embosser);
  const int job = Lp("-n 3 -o redadado-side=both-in-order", Sample("taketori.bse"));
  ASSERT_GT(job, 0);
  // The scheduler may publish the reason a moment before the message that follows it.
  PrinterStatus held;
  ASSERT_TRUE(WaitFor(
      [&] {
        held = Printer();
        return std::find(held.reasons.begin(), held.reasons.end(), "offline-report") !=
                   held.reasons.end() &&
               held.message == kEmbosserHeld;
      },
      milliseconds(30000)))
      << held.message;
  EXPECT_EQ(Job(job).state, IPP_JSTATE_PROCESSING);

  const auto cancelled = Clock::now();
  ASSERT_EQ(Sh("cancel " + std::to_string(job)).status, 0);
  ASSERT_TRUE(embosser->WaitForSessions(1, milliseconds(30000)));  // the port was closed
  EXPECT_LT(Clock::now() - cancelled, milliseconds(1000));
  EXPECT_EQ(Settled(job).state, IPP_JSTATE_CANCELED);
  embosser.reset();

  auto next = StartEmbosser();
  ASSERT_TRUE(next);
  const int again = Lp("", Sample("kaze.bse"));
  ASSERT_GT(again, 0);
  EXPECT_EQ(Settled(again).state, IPP_JSTATE_COMPLETED) << Job(again).message;
  EXPECT_EQ(Received(*next, 0), CliStream(Sample("kaze.bse"), {}));
  const PrinterStatus after = Printer();
  EXPECT_EQ(std::count(after.reasons.begin(), after.reasons.end(), "offline-report"), 0);
}

TEST_F(CupsQueue, AMissingOrVanishingDeviceKeepsTheJobForARetry) {
  // Nothing at the device: the job waits for a retry. Big enough to outgrow the terminal's
  // buffers, so that the device below goes away while the backend still sends.
  const int job = Lp("-n 8 -o redadado-side=both-in-order", Sample("taketori.bse"));
  ASSERT_GT(job, 0);
  const JobStatus missing = Settled(job);
  EXPECT_EQ(missing.state, IPP_JSTATE_HELD) << missing.message;
  EXPECT_NE(missing.message.find(kSerialOpenFailed), std::string::npos) << missing.message;

  // The device goes away in the middle: what went out is not a print.
  SimulatorOptions vanishing;
  vanishing.closeAfterBytes = 200;
  auto embosser = StartEmbosser(vanishing);
  ASSERT_TRUE(embosser);
  ASSERT_EQ(Sh("lp -i " + std::to_string(job) + " -H resume").status, 0);
  ASSERT_TRUE(embosser->WaitForSessions(1, milliseconds(30000)));
  const JobStatus cut = Settled(job);
  EXPECT_EQ(cut.state, IPP_JSTATE_HELD) << cut.message;
  EXPECT_NE(cut.message.find(kLinkFailedMessage), std::string::npos) << cut.message;
  embosser.reset();

  // Back again: the whole job prints.
  auto back = StartEmbosser();
  ASSERT_TRUE(back);
  ASSERT_EQ(Sh("lp -i " + std::to_string(job) + " -H resume").status, 0);
  EXPECT_EQ(Settled(job).state, IPP_JSTATE_COMPLETED) << Job(job).message;
  EXPECT_EQ(Received(*back, 0),
            CliStream(Sample("taketori.bse"), {"--copies", "8", "--side", "both-in-order"}));
}

// The filter on its own, as CUPS calls it with the document on standard input.
TEST(CupsFilter, ReadsStandardInputAndRefusesWithAReasonTheBackendPassesOn) {
  test::TempDir dir;
  const std::string filter = Quote(REDADADO_FILTER_PATH);
  const auto cli = [&](const char* document, std::vector<std::string> options) {
    std::vector<std::string> args = {"print", Sample(document), "--output",
                                     (dir / "cli.bin").string()};
    args.insert(args.end(), options.begin(), options.end());
    EXPECT_EQ(test::RunCli(args).status, 0);
    return test::ReadFile(dir / "cli.bin");
  };
  // Inside parentheses, so that the command's own redirections stand.
  const Shell bse = Sh("(" + filter + " 7 user kaze 2 'redadado-dots=large' < " +
                       Quote(Sample("kaze.bse")) + " 2>/dev/null)");
  EXPECT_EQ(bse.status, 0);
  EXPECT_EQ(bse.out, cli("kaze.bse", {"--copies", "2", "--dots", "large"}));
  const Shell bes =
      Sh("(CONTENT_TYPE=application/x-redadado-bes " + filter +
         " 7 user tenji 1 'redadado-side=front' < " + Quote(Sample("tenji.bes")) + " 2>/dev/null)");
  EXPECT_EQ(bes.out, cli("tenji.bes", {"--side", "front"}));
  // The back-side question cannot be asked: a refusal with the reason, and no stream.
  const Shell both = Sh("(" + filter + " 7 user taketori 1 '' < " + Quote(Sample("taketori.bse")) +
                        " 2>/dev/null)");
  EXPECT_EQ(both.status, 0);
  EXPECT_EQ(both.out, std::string(kRefusalMark) + kBackSideRefused + "\n");
  // A backend that goes away mid-stream has said why: the filter adds no reason of its own and
  // leaves the job's fate to the backend's exit status. The stream outgrows the pipe, so the
  // write fails however quickly the reader goes.
  const Shell gone = Sh("{ (" + filter + " 7 user taketori 30 'redadado-side=both-in-order' < " +
                        Quote(Sample("taketori.bse")) + " 2>&3; echo \"exit $?\" >&3) | :; } 3>&1");
  EXPECT_EQ(gone.out.find("ERROR:"), std::string::npos) << gone.out;
  EXPECT_TRUE(gone.out.ends_with("exit 0\n")) << gone.out;
  const Shell usage = Sh(filter + " 7 user");
  EXPECT_EQ(usage.status, 1);
  EXPECT_NE(usage.out.find("Usage:"), std::string::npos);
}

}  // namespace
}  // namespace redadado::cups
