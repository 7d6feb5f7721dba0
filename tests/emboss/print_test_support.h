#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "emboss/memory_sink.h"
#include "emboss/print_run.h"
#include "emboss/print_seams.h"
#include "support/temp_dir.h"
#include "workflow/session.h"

namespace redadado::test {

// A document of `pages` pages where page p has one dot: cell 'A' at column p - 1 of its
// second line, so a sent page can be told by its dot. Every other line is an empty braille line.
std::string MarkedDocument(int linesPerPage, int pages, int lastPageLines = -1);

// Options a test can change at any moment, also from inside the run.
class ScriptedControls : public PrintControls {
 public:
  int copies = 1;
  int startPage = 1;
  int lastPage = 999;
  SideMode side = SideMode::kFrontAndBack;
  DotKind dots = DotKind::kMedium;
  int resets = 0;
  std::function<void()> onCopies;  // runs before each Copies() answer
  mutable int copiesReads = 0;

  int Copies() const override;
  int StartPage() const override { return startPage; }
  int LastPage() const override { return lastPage; }
  SideMode Sides() const override { return side; }
  DotKind Dots() const override { return dots; }
  std::string DocumentLabel() const override { return "doc.bse"; }
  void ResetDocumentControls() override { ++resets; }
};

// Records the window calls; `onPump` runs at every PumpEvents with its call number (from 1).
class ScriptedUi : public PrintUi {
 public:
  std::vector<std::string> calls;  // except PumpEvents
  std::function<void(int)> onPump;
  std::function<void(int)> onResumeDialog;  // gets the page limit
  int pumps = 0;

  void PumpEvents() override {
    ++pumps;
    if (onPump) onPump(pumps);
  }
  void ShowProgress() override { calls.push_back("show"); }
  void HideProgress() override { calls.push_back("hide"); }
  void SetProgressText(const std::string& text) override { calls.push_back(text); }
  void ShowEscapeNotice() override;
  void HideEscapeNotice() override { calls.push_back("hide-escape"); }
  void ShowResumeDialog(int maxPage) override;
  std::vector<std::string> pagesSent;  // "copy:page"
  void PageSent(int page, int copy) override {
    pagesSent.push_back(std::to_string(copy) + ":" + std::to_string(page));
  }
};

// Answers questions from a queue (an empty queue answers Yes / OK) and keeps every text shown.
class ScriptedMessages : public Messages {
 public:
  std::vector<std::string> texts;
  std::vector<MessageButtons> buttonKinds;  // of each message, in order
  std::deque<bool> answers;
  MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                     MessageButtons buttons) override;
};

// One print run of a document written to a temporary file.
struct RunFixture {
  TempDir dir;
  Session session{AppPaths(dir.path())};
  ScriptedControls controls;
  ScriptedUi ui;
  ScriptedMessages messages;

  void SetDocument(const std::string& body, int pageCount, int linesPerPage);
  PrintResult Run(ByteSink& sink, bool quiet = false);
};

// The stream told as tokens: "S1"/"S2" start commands, "R" restart sequence, "P<n>" a page whose
// single dot stands in column n - 1 ("P<n>d" struck twice, "P-" no dot, "P?" anything else), "CR".
std::string Summary(const std::vector<std::uint8_t>& bytes);

// Hex dump around the first difference of two streams, for failure messages.
std::string HexDiff(const std::vector<std::uint8_t>& expected,
                    const std::vector<std::uint8_t>& actual);

}  // namespace redadado::test
