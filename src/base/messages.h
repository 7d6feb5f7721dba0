#pragma once

#include <string>

namespace redadado {

enum class MessageIcon { kExclamation, kQuestion, kInformation };
// kYesNoDefaultNo: a question that Enter, pressed by habit, must not answer Yes.
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoDefaultNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

inline constexpr const char* kConfirmCaption = "確認";

// Every message box of the system goes through here: the windows show a QMessageBox, the
// command-line tool writes to standard error or answers from its options, tests script answers.
class Messages {
 public:
  virtual ~Messages() = default;
  virtual MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) = 0;

  // A failure: caption "確認", exclamation icon, OK.
  void Report(const std::string& text) {
    Show(kConfirmCaption, text, MessageIcon::kExclamation, MessageButtons::kOk);
  }
  // A question with OK and Cancel; true for OK.
  bool ConfirmOkCancel(const std::string& text) {
    return Show(kConfirmCaption, text, MessageIcon::kQuestion, MessageButtons::kOkCancel) ==
           MessageAnswer::kOk;
  }
  // A question with Yes and No; true for Yes.
  bool ConfirmYesNo(const std::string& text) {
    return Show(kConfirmCaption, text, MessageIcon::kQuestion, MessageButtons::kYesNo) ==
           MessageAnswer::kYes;
  }
  // The same with No as the default button.
  bool ConfirmYesNoDefaultNo(const std::string& text) {
    return Show(kConfirmCaption, text, MessageIcon::kQuestion, MessageButtons::kYesNoDefaultNo) ==
           MessageAnswer::kYes;
  }
};

}  // namespace redadado
