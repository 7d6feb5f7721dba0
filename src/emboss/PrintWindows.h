#pragma once

#include "app/session.h"
#include "emboss/print_seams.h"

namespace redadado {

class TEscapeForm;
class TLPrintInfoForm;
class TLP_SaikaiForm;

// The print run's windows: the progress window, the escape notice and the resume dialog, with
// Qt's event pump. Before those windows exist (the start-up print) only the pump works, and an
// interruption, which cannot arise then, would stop the run.
class PrintWindows : public PrintUi {
 public:
  explicit PrintWindows(Session& session) : session_(session) {}

  void Attach(TEscapeForm* escape, TLPrintInfoForm* progress, TLP_SaikaiForm* resume);

  void PumpEvents() override;
  void ShowProgress() override;
  void HideProgress() override;
  void SetProgressText(const std::string& text) override;
  void ShowEscapeNotice() override;
  void HideEscapeNotice() override;
  void ShowResumeDialog(int maxPage) override;

 private:
  Session& session_;
  TEscapeForm* escape_ = nullptr;
  TLPrintInfoForm* progress_ = nullptr;
  TLP_SaikaiForm* resume_ = nullptr;
};

}  // namespace redadado
