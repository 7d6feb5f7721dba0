#pragma once

#include <QElapsedTimer>
#include <functional>
#include <string>

#include "base/messages.h"
#include "emboss/print_seams.h"
#include "workflow/session.h"

namespace redadado {

class EscapeNotice;
class ProgressWindow;
class ResumeDialog;

// The print run's windows: the progress window, the escape notice and the resume dialog, with
// Qt's event pump. Before those windows exist (the start-up print) only the pump works, and an
// interruption, which cannot arise then, would stop the run.
class PrintWindows : public PrintUi {
 public:
  explicit PrintWindows(Session& session) : session_(session) {}

  void Attach(EscapeNotice* escape, ProgressWindow* progress, ResumeDialog* resume);
  // Hears every progress text as the progress window shows it.
  void OnProgressText(std::function<void(const std::string&)> listener) {
    progressListener_ = std::move(listener);
  }

  void PumpEvents() override;
  void ShowProgress() override;
  void HideProgress() override;
  void SetProgressText(const std::string& text) override;
  void ShowEscapeNotice() override;
  void HideEscapeNotice() override;
  void ShowResumeDialog(int maxPage) override;
  void PageSent(int page, int copy) override;

  // Takes the progress window down now if a hide is still waiting: at the end of a run.
  void FinishHide();
  // Whether a page went out since the last call: the run printed something.
  bool TakePagesSent();

 private:
  Session& session_;
  bool hidePending_ = false;
  std::function<void(const std::string&)> progressListener_;
  bool pagesSent_ = false;
  // Since the progress text was last read out; invalid until the window's first text.
  QElapsedTimer sinceSpoken_;
  // Since the last pump that let the events run; invalid before the first.
  QElapsedTimer sincePumped_;
  EscapeNotice* escape_ = nullptr;
  ProgressWindow* progress_ = nullptr;
  ResumeDialog* resume_ = nullptr;
};

// The messages of a run: each takes down first a progress window whose hide still waits, so a
// question the run asks after hiding it never shows over it.
class RunMessages : public Messages {
 public:
  RunMessages(PrintWindows& windows, Messages& messages) : windows_(windows), messages_(messages) {}
  MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                     MessageButtons buttons) override {
    windows_.FinishHide();
    return messages_.Show(caption, text, icon, buttons);
  }

 private:
  PrintWindows& windows_;
  Messages& messages_;
};

}  // namespace redadado
