#pragma once

#include <cstdint>
#include <string>

namespace redadado {

// The three seams of a print run: the windows, the command-line tool and the tests drive the
// very same engine through them.

// One byte at a time, in order: the serial link, a file, the virtual embosser, a test buffer.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Delivers one byte. False when it could not be delivered (the link died); Failure() then
  // says why, with the operating system's words, and the run ends at once.
  virtual bool Put(std::uint8_t byte) = 0;
  virtual std::string Failure() const = 0;
  // True when the failure was the user giving up output that the device held back: the run
  // then ends as a stop, without a failure message.
  virtual bool Abandoned() const { return false; }
};

// The print options, read at the moments the run reads them, so a change in the middle of a run
// takes effect from then on.
class PrintControls {
 public:
  virtual ~PrintControls() = default;
  virtual int Copies() const = 0;     // copiesUpDown position, read before every copy
  virtual int StartPage() const = 0;  // startPageUpDown position, read once at the start
  virtual int LastPage() const = 0;   // lastPageUpDown position, read once at the start
  // sideList item index: -1 none, 0 front only, 1 back only, 2 front and back, 3 front and back in
  // page order, 4 all pages single-sided. Read before every copy and pass, and at every pass end.
  virtual int SideChoice() const = 0;
  // dotKindList item index: 0 medium, 1 large, 2 medium double strike, 3 large double strike.
  // Read at the start and for every dot.
  virtual int DotKind() const = 0;
  virtual std::string DocumentLabel() const = 0;  // fileEdit text, for the progress text
  // Empties fileEdit and linesEdit, startPageUpDown 1, lastPageUpDown maximum and position 999,
  // disables sideLabel, clears the sideList selection. copiesUpDown and dotKindList keep their
  // values.
  virtual void ResetDocumentControls() = 0;
};

// The windows a run uses besides message boxes. A quiet run never calls the progress or escape
// window functions.
class PrintUi {
 public:
  virtual ~PrintUi() = default;
  // Lets pending window messages run (key handlers may set RunState::escapeRequested).
  virtual void PumpEvents() = 0;
  virtual void ShowProgress() = 0;
  virtual void HideProgress() = 0;
  virtual void SetProgressText(const std::string& text) = 0;
  virtual void ShowEscapeNotice() = 0;
  virtual void HideEscapeNotice() = 0;
  // Shows the resume dialog modally with its page choice limited to 1..maxPage. An OK leaves
  // the answer in RunState::resumePage (0 stop, else the page); any other close leaves it as it
  // was.
  virtual void ShowResumeDialog(int maxPage) = 0;
  // A page has gone out with its form feed; for page accounting, also in quiet runs.
  virtual void PageSent(int /*page*/, int /*copy*/) {}
};

// A run without windows (the command-line tool, benchmarks): no Esc can be pressed, so the
// resume dialog is never asked for.
class NoWindowsPrintUi : public PrintUi {
 public:
  void PumpEvents() override {}
  void ShowProgress() override {}
  void HideProgress() override {}
  void SetProgressText(const std::string&) override {}
  void ShowEscapeNotice() override {}
  void HideEscapeNotice() override {}
  void ShowResumeDialog(int) override {}
};

}  // namespace redadado
