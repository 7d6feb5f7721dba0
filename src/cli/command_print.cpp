#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "emboss/file_sink.h"
#include "emboss/print_run.h"

namespace redadado::cli {

namespace {

struct PrintOptions {
  std::string document;
  int copies = 1;
  std::optional<int> firstPage;
  std::optional<int> lastPage;
  std::optional<int> side;
  int dots = 0;
  bool back = true;
  std::optional<std::string> output;
};

// A named choice or its item number.
std::optional<int> ParseChoice(std::string_view text, std::initializer_list<std::string_view> names,
                               int first) {
  int index = first;
  for (const std::string_view name : names) {
    if (text == name) return index;
    ++index;
  }
  return ParseNumber(text, first, index - 1);
}

std::optional<std::pair<int, int>> ParsePages(std::string_view text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) {
    const auto page = ParseNumber(text, 1, 999);
    if (!page) return std::nullopt;
    return std::pair{*page, *page};
  }
  const auto first = ParseNumber(text.substr(0, dash), 1, 999);
  const auto last = ParseNumber(text.substr(dash + 1), 1, 999);
  if (!first || !last) return std::nullopt;
  return std::pair{*first, *last};
}

// The options as a usage error text, or nothing when they are fine.
std::optional<std::string> ParseOptions(Args args, PrintOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!arg.starts_with("--")) {
      if (!options.document.empty()) return "print takes one DOCUMENT";
      options.document = std::string(arg);
      continue;
    }
    if (i + 1 >= args.size()) return std::string(arg) + " needs a value";
    const std::string_view value = args[++i];
    if (arg == "--copies") {
      const auto copies = ParseNumber(value, 1, 999);
      if (!copies) return "--copies takes a number from 1 to 999";
      options.copies = *copies;
    } else if (arg == "--pages") {
      const auto pages = ParsePages(value);
      if (!pages) return "--pages takes A-B with pages from 1 to 999";
      options.firstPage = pages->first;
      options.lastPage = pages->second;
    } else if (arg == "--side") {
      options.side =
          ParseChoice(value, {"none", "front", "back", "both", "both-in-order", "single"}, -1);
      if (!options.side) return "--side takes none|front|back|both|both-in-order|single or -1..4";
    } else if (arg == "--dots") {
      const auto dots = ParseChoice(value, {"medium", "large", "medium-double", "large-double"}, 0);
      if (!dots) return "--dots takes medium|large|medium-double|large-double or 0..3";
      options.dots = *dots;
    } else if (arg == "--back") {
      if (value != "yes" && value != "no") return "--back takes yes or no";
      options.back = value == "yes";
    } else if (arg == "--output") {
      options.output = std::string(value);
    } else {
      return "unknown option for print: " + std::string(arg);
    }
  }
  if (options.document.empty()) return "print takes a DOCUMENT";
  if (!options.output) return "print needs --output FILE";
  return std::nullopt;
}

// The main window's document controls, filled from the command line; nothing changes them
// during the run.
class FixedControls : public PrintControls {
 public:
  FixedControls(const PrintOptions& options, const HeaderCheck& check)
      : options_(options), check_(check) {}
  int Copies() const override { return options_.copies; }
  int StartPage() const override { return options_.firstPage.value_or(1); }
  int LastPage() const override { return options_.lastPage.value_or(check_.pageCount); }
  int SideChoice() const override { return options_.side.value_or(check_.sideChoice); }
  int DotKind() const override { return options_.dots; }
  std::string DocumentLabel() const override { return options_.document; }
  // There are no controls to empty: each command runs one document.
  void ResetDocumentControls() override {}

 private:
  const PrintOptions& options_;
  const HeaderCheck& check_;
};

// The run is quiet: no progress window, no escape notice, and with no window to take the Esc
// key no interruption arises, so the resume dialog is never asked for.
class NoWindows : public PrintUi {
 public:
  void PumpEvents() override {}
  void ShowProgress() override {}
  void HideProgress() override {}
  void SetProgressText(const std::string&) override {}
  void ShowEscapeNotice() override {}
  void HideEscapeNotice() override {}
  void ShowResumeDialog(int) override {}
};

// Messages go to standard error; the back-side question is answered by --back, every other
// question (the serial confirmation) with OK.
class StderrMessages : public Messages {
 public:
  explicit StderrMessages(bool back) : back_(back) {}
  MessageAnswer Show(const std::string&, const std::string& text, MessageIcon,
                     MessageButtons buttons) override {
    PrintError(text);
    switch (buttons) {
      case MessageButtons::kYesNo:
        return back_ ? MessageAnswer::kYes : MessageAnswer::kNo;
      case MessageButtons::kOkCancel:
      case MessageButtons::kOk:
        break;
    }
    return MessageAnswer::kOk;
  }

 private:
  bool back_;
};

// Where the stream goes, and how it is finished once the run is over (false: the failure was
// printed).
struct Output {
  std::unique_ptr<ByteSink> sink;
  std::function<bool()> finish;
};

std::optional<Output> OpenOutput(const PrintOptions& options) {
  auto file = std::make_unique<FileSink>();
  if (const auto reason = file->Open(*options.output)) {
    PrintError(*reason);
    return std::nullopt;
  }
  FileSink* sink = file.get();
  const std::string path = *options.output;
  return Output{std::move(file), [sink, path] {
                  if (sink->Close()) return true;
                  PrintError(path + ": " + sink->Failure());
                  return false;
                }};
}

}  // namespace

int RunPrint(Args args) {
  PrintOptions options;
  if (const auto usage = ParseOptions(args, options)) return UsageError(*usage);

  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, options.document);
  if (!check) return kRefused;

  std::optional<Output> output = OpenOutput(options);
  if (!output) return kRefused;
  FixedControls controls(options, *check);
  NoWindows ui;
  StderrMessages messages(options.back);
  const PrintResult result =
      PrintDocument(session, controls, ui, messages, *output->sink, /*quiet=*/true);
  const bool finished = output->finish();
  return result == PrintResult::kDone && finished ? kDone : kRefused;
}

}  // namespace redadado::cli
