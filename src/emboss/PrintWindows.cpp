#include "emboss/PrintWindows.h"

#include <QApplication>

#include "app/QtSeams.h"
#include "emboss/Escape.h"
#include "emboss/Lprintinfo.h"
#include "emboss/Lpsaikai.h"

namespace redadado {

void PrintWindows::Attach(TEscapeForm* escape, TLPrintInfoForm* progress, TLP_SaikaiForm* resume) {
  escape_ = escape;
  progress_ = progress;
  resume_ = resume;
}

void PrintWindows::PumpEvents() {
  QApplication::processEvents();
}

void PrintWindows::ShowProgress() {
  if (progress_ != nullptr) progress_->show();
}

void PrintWindows::HideProgress() {
  if (progress_ != nullptr) progress_->hide();
}

void PrintWindows::SetProgressText(const std::string& text) {
  if (progress_ != nullptr) progress_->info->setText(ToQt(text));
}

void PrintWindows::ShowEscapeNotice() {
  if (escape_ != nullptr && !escape_->isVisible()) escape_->show();
}

void PrintWindows::HideEscapeNotice() {
  if (escape_ != nullptr) escape_->hide();
}

void PrintWindows::ShowResumeDialog(int maxPage) {
  if (resume_ == nullptr) {
    session_.resumePage = 0;
    return;
  }
  resume_->SetPageLimit(maxPage);
  resume_->exec();
}

}  // namespace redadado
