#pragma once

#include <cstdint>
#include <string>

#include "document/print_choices.h"

namespace redadado {

// The three seams of a print run: the windows, the command-line tool and the tests drive the
// very same engine through them.

// The link's failure texts that are its own rather than the operating system's.
inline constexpr const char* kOutputAbandoned = "印刷を中止しました。";
inline constexpr const char* kOutputStalled =
    "点字プリンターがデータを受け取らなくなったため、残りの送信を取りやめました。";

// Why a sink stopped taking bytes.
enum class LinkFault {
  kNone,
  kFailed,      // a call failed or the link is closed
  kReaderGone,  // the reading end of a pipe went away
  kStalled,     // closing discarded output the far end no longer took
  kAbandoned,   // output given up (the user while the device held it back, or a print queue whose
                // backend went away): the run ends as a stop, without a failure message
};

struct LinkFailure {
  LinkFault kind = LinkFault::kNone;
  std::string reason;  // kFailed, kReaderGone: what failed and why, in the system's words
};

// The failure as the user reads it.
inline std::string FailureText(const LinkFailure& failure) {
  switch (failure.kind) {
    case LinkFault::kStalled:
      return kOutputStalled;
    case LinkFault::kAbandoned:
      return kOutputAbandoned;
    default:
      return failure.reason;
  }
}

// One byte at a time, in order: the serial link, a file, the virtual embosser, a test buffer.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Delivers one byte. False when it could not be delivered (the link died); Failure() then
  // says why and the run ends at once.
  virtual bool Put(std::uint8_t byte) = 0;
  virtual LinkFailure Failure() const = 0;
};

// The print options, read at the moments the run reads them, so a change in the middle of a run
// takes effect from then on.
class PrintControls {
 public:
  virtual ~PrintControls() = default;
  virtual int Copies() const = 0;     // copiesUpDown position, read before every copy
  virtual int StartPage() const = 0;  // startPageUpDown position, read once at the start
  virtual int LastPage() const = 0;   // lastPageUpDown position, read once at the start
  // sideList choice, read before every copy and pass, and at every pass end.
  virtual SideMode Sides() const = 0;
  // dotKindList choice, read at the start and for every dot.
  virtual DotKind Dots() const = 0;
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
