#include "gui/print_windows.h"

#include <QApplication>
#include <QTimer>
#include <utility>

#include "gui/escape_notice.h"
#include "gui/progress_window.h"
#include "gui/qt_seams.h"
#include "gui/resume_dialog.h"

namespace redadado {

void PrintWindows::Attach(EscapeNotice* escape, ProgressWindow* progress, ResumeDialog* resume) {
  escape_ = escape;
  progress_ = progress;
  resume_ = resume;
}

// The run asks for a pump before every byte, but a pump costs far more than sending a byte: while
// the bytes flow, one pump a millisecond keeps the windows as quick to answer and paint, and
// leaves the link most of its speed.
void PrintWindows::PumpEvents() {
  constexpr qint64 kPumpInterval = 1'000'000;  // nanoseconds
  if (sincePumped_.isValid() && sincePumped_.nsecsElapsed() < kPumpInterval) return;
  QApplication::processEvents();
  sincePumped_.start();
}

void PrintWindows::ShowProgress() {
  hidePending_ = false;
  if (progress_ == nullptr || progress_->isVisible()) return;
  progress_->show();
}

// A run hides the progress window between its passes and copies and shows it again at once.
// Done literally, the window manager takes the keyboard away and gives it back each time, and an
// Esc pressed in between is lost. So a hide waits for the event loop: a show that follows at once
// keeps the window up, and anything that waits for the user (a question) sees it gone.
void PrintWindows::HideProgress() {
  if (progress_ == nullptr) return;
  hidePending_ = true;
  QTimer::singleShot(0, progress_, [this] { FinishHide(); });
}

void PrintWindows::FinishHide() {
  if (hidePending_ && progress_ != nullptr) {
    progress_->hide();
    sinceSpoken_.invalidate();  // the next window says its title and first page again
  }
  hidePending_ = false;
}

void PrintWindows::SetProgressText(const std::string& text) {
  if (progressListener_) progressListener_(text);
  if (progress_ == nullptr) return;
  progress_->SetProgressText(ToQt(text));
  // The first page as the window opens, then a page now and then: a reader that said every page
  // would never be done, and would hold up the user's own keys.
  constexpr qint64 kSpeechInterval = 4000;  // milliseconds
  const bool opening = !sinceSpoken_.isValid();
  if (!opening && !sinceSpoken_.hasExpired(kSpeechInterval)) return;
  sinceSpoken_.start();
  // The window's title with its first text: the window manager need not make it the active one.
  progress_->TellReader(
      ToQt(text), opening ? progress_->windowTitle().trimmed() + "　" + ToQt(text) : ToQt(text));
}

void PrintWindows::ShowEscapeNotice() {
  if (escape_ == nullptr || escape_->isVisible()) return;
  escape_->show();
  escape_->announcer->Announce(escape_->messageLabel->text());
}

void PrintWindows::HideEscapeNotice() {
  if (escape_ != nullptr) escape_->hide();
}

void PrintWindows::PageSent(int, int) {
  pagesSent_ = true;
}

bool PrintWindows::TakePagesSent() {
  return std::exchange(pagesSent_, false);
}

void PrintWindows::ShowResumeDialog(int maxPage) {
  if (resume_ == nullptr) {
    session_.run.resumePage = 0;
    return;
  }
  resume_->SetPageLimit(maxPage);
  resume_->exec();
}

}  // namespace redadado
