#include "workflow/batch_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../emboss/print_test_support.h"
#include "emboss/memory_sink.h"
#include "support/run_cli.h"

namespace redadado {
namespace {

using test::ReadFile;
using Bytes = std::vector<std::uint8_t>;

// The main window's document controls as the batch and the print run see them.
class ControlsPanel : public BatchWindow, public PrintControls {
 public:
  explicit ControlsPanel(const JobList& jobs) : jobs_(jobs) {}

  DocumentControlValues shown;
  std::vector<DocumentControlValues> loads;
  std::vector<std::string> numbersAtLoad;  // column 0 of row 1 when each job is loaded
  int listChanges = 0;

  void LoadDocumentControls(const DocumentControlValues& controls) override {
    shown = controls;
    loads.push_back(controls);
    numbersAtLoad.push_back(jobs_.RowAt(1)[0]);
  }
  void JobListChanged() override { ++listChanges; }

  int Copies() const override { return shown.copies; }
  int StartPage() const override { return shown.startPage; }
  int LastPage() const override { return shown.lastPage; }
  SideMode Sides() const override { return shown.side; }
  DotKind Dots() const override { return shown.dots; }
  std::string DocumentLabel() const override { return shown.file; }
  void ResetDocumentControls() override {
    shown.file.clear();
    shown.linesText.clear();
    shown.startPage = 1;
    shown.lastPage = 999;
    shown.side = SideMode::kNone;
  }

 private:
  const JobList& jobs_;
};

// The port: forwards to a memory sink that outlives it and counts its closing.
class Port : public ByteSink {
 public:
  Port(MemorySink& target, int& closes, bool abandon)
      : target_(target), closes_(closes), abandon_(abandon) {}
  ~Port() override { ++closes_; }
  bool Put(std::uint8_t byte) override { return target_.Put(byte); }
  LinkFailure Failure() const override {
    LinkFailure failure = target_.Failure();
    if (abandon_ && failure.kind != LinkFault::kNone) failure.kind = LinkFault::kAbandoned;
    return failure;
  }

 private:
  MemorySink& target_;
  int& closes_;
  bool abandon_;
};

struct BatchFixture : test::RunFixture {
  JobList jobs;
  ControlsPanel panel{jobs};
  MemorySink line;
  int opens = 0;
  int closes = 0;
  bool agree = true;
  bool abandon = false;  // a failure of the line is the user giving held output up

  BatchFixture() {
    for (const char* name : {"taketori.bse", "tenji.bes"}) {
      std::filesystem::copy_file(std::string(REDADADO_SAMPLES_DIR) + "/" + name, dir / name);
    }
  }

  // The side and dot kind as list items.
  DocumentControlValues Job(const std::string& name, int copies, int first, int last, int side,
                            int dotKind) const {
    return {(dir / name).string(), copies, first, last, "１８行（両面）", SideModeOfItem(side),
            DotKindOfItem(dotKind)};
  }
  void Register(const DocumentControlValues& job) {
    ASSERT_EQ(jobs.Register(job), JobList::Registered::kDone);
  }
  BatchOutcome Print() {
    return PrintBatch(session, jobs, panel, panel, ui, messages,
                      [this]() -> std::unique_ptr<ByteSink> {
                        ++opens;
                        if (!agree) return nullptr;
                        return std::make_unique<Port>(line, closes, abandon);
                      });
  }
  bool Shown(const std::string& text) const {
    return std::any_of(messages.texts.begin(), messages.texts.end(), [&](const std::string& shown) {
      return shown.starts_with("確認: " + text);
    });
  }
};

// What the command-line tool sends for the same document and options.
Bytes CliStream(const DocumentControlValues& job) {
  test::TempDir out;
  const auto file = out / "stream.bin";
  const auto r = test::RunCli({"print", job.file, "--copies", std::to_string(job.copies), "--pages",
                               std::to_string(job.startPage) + "-" + std::to_string(job.lastPage),
                               "--side", std::to_string(ItemOf(job.side)), "--dots",
                               std::to_string(ItemOf(job.dots)), "--output", file.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string bytes = ReadFile(file);
  return Bytes(bytes.begin(), bytes.end());
}

Bytes Concatenated(std::initializer_list<Bytes> streams) {
  Bytes all;
  for (const Bytes& stream : streams) all.insert(all.end(), stream.begin(), stream.end());
  return all;
}

TEST(BatchPrint, PrintsEveryJobInOrderOverOneConnectionAndEmptiesTheList) {
  BatchFixture f;
  const DocumentControlValues first = f.Job("taketori.bse", 1, 1, 999, 2, 0);
  const DocumentControlValues second = f.Job("tenji.bes", 1, 1, 999, 2, 1);
  const DocumentControlValues third = f.Job("taketori.bse", 2, 3, 5, 2, 3);
  for (const auto& job : {first, second, third}) f.Register(job);

  const BatchOutcome outcome = f.Print();
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.results,
            (std::vector{PrintResult::kDone, PrintResult::kDone, PrintResult::kDone}));
  EXPECT_EQ(f.opens, 1);
  EXPECT_EQ(f.closes, 1);
  const Bytes expected = Concatenated({CliStream(first), CliStream(second), CliStream(third)});
  EXPECT_TRUE(f.line.bytes == expected) << test::HexDiff(expected, f.line.bytes);

  // Each job came back into the controls whole, with the number it was registered with.
  ASSERT_EQ(f.panel.loads.size(), 3u);
  EXPECT_EQ(f.panel.loads[0].lastPage, 999);
  EXPECT_EQ(f.panel.loads[1].dots, DotKind::kLarge);
  const DocumentControlValues& loaded = f.panel.loads[2];
  EXPECT_EQ(loaded.copies, 2);
  EXPECT_EQ(loaded.startPage, 3);
  EXPECT_EQ(loaded.lastPage, 5);
  EXPECT_EQ(loaded.dots, DotKind::kLargeDouble);
  EXPECT_EQ(loaded.linesText, "１８行（両面）");
  EXPECT_EQ(f.panel.numbersAtLoad, (std::vector<std::string>{"1", "2", "3"}));

  EXPECT_EQ(f.jobs.RowCount(), 2);
  EXPECT_EQ(f.panel.listChanges, 3);
  EXPECT_EQ(f.session.besSourcePath, second.file);
  EXPECT_EQ(f.session.document.path, third.file);
  EXPECT_TRUE(std::filesystem::exists(f.session.paths.TemporaryBse()));
}

TEST(BatchPrint, DeclinedOrEmpty) {
  BatchFixture declined;
  declined.Register(declined.Job("taketori.bse", 1, 1, 4, 2, 0));
  declined.agree = false;
  EXPECT_FALSE(declined.Print().started);
  EXPECT_EQ(declined.jobs.RowCount(), 3);
  EXPECT_TRUE(declined.panel.loads.empty());

  BatchFixture empty;
  const BatchOutcome outcome = empty.Print();
  EXPECT_TRUE(outcome.started);
  EXPECT_TRUE(outcome.results.empty());
  EXPECT_EQ(empty.closes, 1);
  EXPECT_TRUE(empty.line.bytes.empty());
}

// A first job that cannot print in full never keeps the second from printing.
TEST(BatchPrint, TroubleInTheFirstJobGoesOnWithTheSecond) {
  struct Case {
    const char* name;
    const char* firstFile;
    PrintResult firstResult;
    bool pressEsc;
    const char* message;  // shown during the first job
  };
  const Case cases[] = {
      {"vanished BSE", "gone.bse", PrintResult::kRefused, false,
       "ファイルがオープンできませんでした。"},
      // Not converted, so not the previous document printed in its place.
      {"vanished BES", "gone.bes", PrintResult::kRefused, false,
       "ファイルがオープンできませんでした。"},
      {"Esc and stop", "taketori.bse", PrintResult::kStopped, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BatchFixture f;
    f.session.document.path = (f.dir / "taketori.bse").string();
    const DocumentControlValues second = f.Job("taketori.bse", 1, 1, 2, 0, 1);
    f.Register(f.Job(c.firstFile, 1, 1, 4, 2, 0));
    f.Register(second);
    if (c.pressEsc) {
      f.ui.onPump = [&f](int pump) {
        if (pump == 100) f.session.run.escapeRequested = 1;  // while page 1 is being sent
      };
      f.ui.onResumeDialog = [&f](int) { f.session.run.resumePage = 0; };
    }
    const BatchOutcome outcome = f.Print();
    EXPECT_EQ(outcome.results, (std::vector{c.firstResult, PrintResult::kDone}));
    if (c.message != nullptr) {
      EXPECT_TRUE(f.Shown(c.message));
    }
    const Bytes secondStream = CliStream(second);
    if (c.pressEsc) {
      ASSERT_GT(f.line.bytes.size(), secondStream.size());
      EXPECT_TRUE(std::equal(secondStream.rbegin(), secondStream.rend(), f.line.bytes.rbegin()));
    } else {
      EXPECT_TRUE(f.line.bytes == secondStream) << test::HexDiff(secondStream, f.line.bytes);
    }
    EXPECT_EQ(f.jobs.RowCount(), 2);
  }
}

// A failed link, or held output the user gave up, leaves every later byte undelivered.
TEST(BatchPrint, ALinkThatEndsEndsTheBatchAndKeepsTheJobsNotAttempted) {
  for (const bool abandon : {false, true}) {
    SCOPED_TRACE(abandon ? "abandoned" : "failed");
    BatchFixture f;
    const DocumentControlValues first = f.Job("taketori.bse", 1, 1, 4, 0, 0);
    f.Register(first);
    f.Register(f.Job("taketori.bse", 1, 1, 2, 0, 0));
    f.Register(f.Job("tenji.bes", 1, 1, 2, 0, 0));
    f.line = MemorySink(CliStream(first).size() + 100);
    f.abandon = abandon;

    const BatchOutcome outcome = f.Print();
    EXPECT_EQ(outcome.results,
              (std::vector{PrintResult::kDone,
                           abandon ? PrintResult::kStopped : PrintResult::kLinkFailed}));
    EXPECT_EQ(std::count_if(f.messages.texts.begin(), f.messages.texts.end(),
                            [](const std::string& text) {
                              return text.find(kLinkFailedMessage) != std::string::npos;
                            }),
              abandon ? 0 : 1);
    ASSERT_EQ(f.jobs.JobCount(), 1);
    EXPECT_EQ(f.jobs.RowAt(1)[0], "1");
    EXPECT_EQ(f.jobs.RowAt(1)[1], (f.dir / "tenji.bes").string());
    EXPECT_EQ(f.closes, 1);
  }
}

}  // namespace
}  // namespace redadado
