#pragma once

#include <string>

#include "base/messages.h"
#include "emboss/print_seams.h"
#include "emboss/run_state.h"

namespace redadado {

enum class PrintResult {
  kDone,        // the run completed
  kStopped,     // the user stopped in the resume dialog (CR sent, controls reset), or gave up
                // output that the embosser held back (controls reset)
  kRefused,     // the document could not be opened or has the wrong line count; nothing sent
  kLinkFailed,  // a byte could not be delivered; the run ended at once
};

inline constexpr const char* kBackSideQuestion =
    "裏（偶数ページ）を印刷します。用紙を裏返して再セットしてください。準備はよろしいですか？　";
inline constexpr const char* kResumeQuestionFormat =
    "%d ページから印刷を再開します。準備はよろしいですか？";
inline constexpr const char* kProgressFormat = "現在、%s の %d 部目、%d ページ目を送信中です。";
inline constexpr const char* kLinkFailedMessage =
    "点字プリンターへの送信に失敗しました。印刷を中止します。";

// Embosses the document at `documentPath` through `sink`: start commands, the
// copies with their passes and pages, the final CR, then the reset of the document controls.
// The options are read from `controls` at the moments the run needs them. A quiet run (the
// command-line tool's and the print queue's, which have no windows) never touches the progress
// window or the escape notice. The caller owns and closes the sink.
PrintResult PrintDocument(const std::string& documentPath, RunState& run, PrintControls& controls,
                          PrintUi& ui, Messages& messages, ByteSink& sink, bool quiet);

}  // namespace redadado
