#include "jobs/job_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace redadado {
namespace {

DocumentControlValues Chosen(const std::string& file) {
  DocumentControlValues controls;
  controls.file = file;
  controls.copies = 2;
  controls.startPage = 3;
  controls.lastPage = 5;
  controls.linesText = "１８行（両面）";
  controls.side = SideMode::kFrontAndBack;
  controls.dots = DotKind::kMedium;
  return controls;
}

// Columns 0..8 of a row joined with '|', for readable comparisons.
std::string Joined(const JobList::Row& row) {
  std::string text = row[0];
  for (std::size_t column = 1; column < row.size(); ++column) text += "|" + row[column];
  return text;
}

struct RegisterCase {
  const char* linesText;
  int sideChoice;  // list items; -1 for the dot kind is text typed into the list
  int dotKind;
  const char* columns5To8;
  JobOptions options;
};

TEST(JobList, RegisterWritesTheRowAndOptionsForEverySideModeAndDotKind) {
  const RegisterCase cases[] = {
      {"２２行（片面）", -1, 0, "22|片面印刷|中|１", {22, SideMode::kNone, 2, 1}},
      {"１８行（両面）", 0, 1, "18|表面のみ|大|１", {18, SideMode::kFrontOnly, 3, 1}},
      {"１８行（両面）", 1, 2, "18|裏面のみ|中|２", {18, SideMode::kBackOnly, 2, 2}},
      {"１８行（両面）", 2, 3, "18|表+裏,両面印刷|大|２", {18, SideMode::kFrontAndBack, 3, 2}},
      {"１８行（両面）",
       3,
       -1,
       "18|表+裏,片面印刷|中|１",
       {18, SideMode::kFrontAndBackInOrder, 2, 1}},
      {"２２行（片面）", 4, 3, "22|全頁片面印刷|大|２", {22, SideMode::kAllSingle, 3, 2}},
      // Nothing checked yet: an empty linesEdit counts as 22 lines.
      {"", -1, 1, "22|片面印刷|大|１", {22, SideMode::kNone, 3, 1}},
  };
  for (const RegisterCase& c : cases) {
    SCOPED_TRACE(c.columns5To8);
    JobList jobs;
    DocumentControlValues controls = Chosen("/home/u/doc.bse");
    controls.linesText = c.linesText;
    controls.side = SideModeOfItem(c.sideChoice);
    controls.dots = DotKindOfItem(c.dotKind);
    ASSERT_EQ(jobs.Register(controls), JobList::Registered::kDone);
    EXPECT_EQ(Joined(jobs.RowAt(1)), std::string("1|/home/u/doc.bse|2|3|5|") + c.columns5To8);
    const JobOptions& options = jobs.OptionsOf(1);
    EXPECT_EQ(options.linesPerPage, c.options.linesPerPage);
    EXPECT_EQ(options.sideMode, c.options.sideMode);
    EXPECT_EQ(options.dotSize, c.options.dotSize);
    EXPECT_EQ(options.strikes, c.options.strikes);
    // A batch loads back what was registered (a typed dot kind comes back as "中点").
    const DocumentControlValues back = jobs.FirstJobControls();
    EXPECT_EQ(back.file, controls.file);
    EXPECT_EQ(back.copies, 2);
    EXPECT_EQ(back.startPage, 3);
    EXPECT_EQ(back.lastPage, 5);
    EXPECT_EQ(back.linesText, c.options.linesPerPage == 18 ? "１８行（両面）" : "２２行（片面）");
    EXPECT_EQ(back.side, controls.side);
    EXPECT_EQ(back.dots, controls.dots);
  }
}

TEST(JobList, ADocumentsExtensionInAnyCaseRegisters) {
  const std::pair<const char*, bool> cases[] = {
      {"/d/a.bse", true},      {"/d/a.BSE", true},  {"/d/a.bes", true},
      {"/d/a.BES", true},      {"/d/a.Bse", true},  {"/d/a.bES", true},
      {"/d/old.bse/a", false}, {"/d/a.txt", false}, {"", false},
  };
  for (const auto& [file, accepted] : cases) {
    SCOPED_TRACE(file);
    JobList jobs;
    EXPECT_EQ(jobs.Register(Chosen(file)),
              accepted ? JobList::Registered::kDone : JobList::Registered::kNoDocument);
    EXPECT_EQ(jobs.RowCount(), accepted ? 3 : 2);
    EXPECT_EQ(jobs.JobCount(), accepted ? 1 : 0);
  }
}

TEST(JobList, StartsWithHeaderAndBlankRowAndResetsControlsAfterRegistration) {
  JobList jobs;
  EXPECT_EQ(jobs.RowCount(), 2);
  EXPECT_EQ(Joined(jobs.RowAt(0)), "Ｎｏ．|ファイル|部数|P.～|～P.|行数|印刷面|点種|打数");
  EXPECT_EQ(Joined(jobs.RowAt(1)), "||||||||");

  DocumentControlValues chosen = Chosen("a.bse");
  chosen.dots = DotKind::kLargeDouble;
  const DocumentControlValues next = ControlsAfterRegistration(chosen);
  EXPECT_EQ(next.file, "");
  EXPECT_EQ(next.copies, 1);
  EXPECT_EQ(next.startPage, 1);
  EXPECT_EQ(next.lastPage, 999);
  EXPECT_EQ(next.linesText, "");
  EXPECT_EQ(next.side, SideMode::kNone);
  EXPECT_EQ(next.dots, DotKind::kLargeDouble);
}

JobList ThreeJobs() {
  JobList jobs;
  for (const char* file : {"one.bse", "two.bes", "three.bse"}) {
    DocumentControlValues controls = Chosen(file);
    controls.copies = static_cast<int>(std::string(file).size());  // tells the jobs apart
    EXPECT_EQ(jobs.Register(controls), JobList::Registered::kDone);
  }
  return jobs;
}

TEST(JobList, DeleteMovesTheLaterJobsUpAndKeepsTheNumbering) {
  JobList jobs = ThreeJobs();
  ASSERT_EQ(jobs.RowCount(), 5);
  ASSERT_TRUE(jobs.Delete(2));
  EXPECT_EQ(jobs.RowCount(), 4);
  EXPECT_EQ(jobs.JobCount(), 2);
  EXPECT_EQ(Joined(jobs.RowAt(1)), "1|one.bse|7|3|5|18|表+裏,両面印刷|中|１");
  EXPECT_EQ(Joined(jobs.RowAt(2)), "2|three.bse|9|3|5|18|表+裏,両面印刷|中|１");
  EXPECT_EQ(Joined(jobs.RowAt(3)), "||||||||");

  // The blank bottom row, the header and rows beyond the grid delete nothing.
  for (const int row : {3, 0, 7, -1}) EXPECT_FALSE(jobs.Delete(row)) << row;
  EXPECT_EQ(jobs.RowCount(), 4);

  // The selection's start, row 1, deletes job 1; an emptied list has nothing to delete.
  ASSERT_TRUE(jobs.Delete(1));
  EXPECT_EQ(Joined(jobs.RowAt(1)), "1|three.bse|9|3|5|18|表+裏,両面印刷|中|１");
  ASSERT_TRUE(jobs.Delete(1));
  EXPECT_EQ(jobs.RowCount(), 2);
  EXPECT_FALSE(jobs.Delete(1));
  EXPECT_EQ(jobs.RowCount(), 2);

  // A registration after deletions goes on with the next number.
  ASSERT_EQ(jobs.Register(Chosen("four.bse")), JobList::Registered::kDone);
  EXPECT_EQ(jobs.RowAt(1)[0], "1");
}

TEST(JobList, BatchRemovalCarriesTheNumbersUntilRenumbered) {
  JobList jobs = ThreeJobs();
  jobs.RemoveFirstJob();
  EXPECT_EQ(jobs.RowCount(), 4);
  EXPECT_EQ(Joined(jobs.RowAt(1)), "2|two.bes|7|3|5|18|表+裏,両面印刷|中|１");
  EXPECT_EQ(jobs.RowAt(2)[0], "3");
  EXPECT_EQ(jobs.FirstJobControls().file, "two.bes");
  jobs.Renumber();
  EXPECT_EQ(jobs.RowAt(1)[0], "1");
  EXPECT_EQ(jobs.RowAt(2)[0], "2");
  jobs.RemoveFirstJob();
  jobs.RemoveFirstJob();
  jobs.RemoveFirstJob();  // nothing left: no change
  EXPECT_EQ(jobs.RowCount(), 2);
  EXPECT_EQ(Joined(jobs.RowAt(1)), "||||||||");
}

TEST(JobList, HoldsAtMostOneHundredJobs) {
  JobList jobs;
  for (int i = 1; i <= JobList::kMaxJobs; ++i) {
    ASSERT_EQ(jobs.Register(Chosen("doc" + std::to_string(i) + ".bse")),
              JobList::Registered::kDone);
  }
  EXPECT_EQ(jobs.RowCount(), 102);
  EXPECT_EQ(jobs.RowAt(100)[0], "100");
  EXPECT_EQ(jobs.Register(Chosen("extra.bse")), JobList::Registered::kFull);
  // Without a document the refusal stays silent, as for any registration without one.
  EXPECT_EQ(jobs.Register(Chosen("")), JobList::Registered::kNoDocument);
  EXPECT_EQ(jobs.RowCount(), 102);
  EXPECT_EQ(jobs.RowAt(100)[1], "doc100.bse");
  ASSERT_TRUE(jobs.Delete(50));
  EXPECT_EQ(jobs.Register(Chosen("extra.bse")), JobList::Registered::kDone);
  EXPECT_EQ(jobs.RowAt(100)[0], "100");
  EXPECT_EQ(jobs.RowAt(100)[1], "extra.bse");
}

}  // namespace
}  // namespace redadado
