#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "emboss/file_sink.h"
#include "emboss/print_run.h"
#include "emboss/serial_link.h"
#include "embosser/virtual_embosser.h"

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
  std::optional<std::string> port;
  std::optional<std::string> pictures;
};

// With no destination given, the virtual embosser draws the sheets here.
constexpr const char* kDefaultPictures = "embossed";

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
    } else if (arg == "--port") {
      options.port = std::string(value);
    } else if (arg == "--pictures") {
      options.pictures = std::string(value);
    } else {
      return "unknown option for print: " + std::string(arg);
    }
  }
  if (options.document.empty()) return "print takes a DOCUMENT";
  const int destinations =
      (options.output ? 1 : 0) + (options.port ? 1 : 0) + (options.pictures ? 1 : 0);
  if (destinations > 1) return "print takes one of --port, --output and --pictures";
  if (destinations == 0) options.pictures = kDefaultPictures;
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

std::optional<Output> OpenFile(const std::string& path) {
  auto file = std::make_unique<FileSink>();
  if (const auto reason = file->Open(path)) {
    PrintError(*reason);
    return std::nullopt;
  }
  FileSink* sink = file.get();
  return Output{std::move(file), [sink, path] {
                  if (sink->Close()) return true;
                  PrintError(path + ": " + sink->Failure());
                  return false;
                }};
}

std::optional<Output> OpenPort(const Session& session, Messages& messages,
                               const std::string& port) {
  std::unique_ptr<SerialLink> link = OpenSerialLink(session, messages, {}, port);
  if (!link) return std::nullopt;  // declined or reported
  // Destroying the link lets the output drain and closes the port.
  return Output{std::move(link), [] { return true; }};
}

std::optional<Output> OpenPictures(const std::string& directory) {
  auto embosser = std::make_unique<VirtualEmbosser>(directory);
  VirtualEmbosser* sink = embosser.get();
  return Output{std::move(embosser), [sink] {
                  const VirtualEmbosser::Outcome outcome = sink->Finish();
                  if (!outcome.ok) {
                    PrintError(outcome.text);
                    return false;
                  }
                  std::cout << outcome.text << '\n';
                  return true;
                }};
}

std::optional<Output> OpenOutput(const Session& session, Messages& messages,
                                 const PrintOptions& options) {
  if (options.output) return OpenFile(*options.output);
  if (options.port) return OpenPort(session, messages, *options.port);
  return OpenPictures(*options.pictures);
}

}  // namespace

int RunPrint(Args args) {
  PrintOptions options;
  if (const auto usage = ParseOptions(args, options)) return UsageError(*usage);

  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, options.document);
  if (!check) return kRefused;

  StderrMessages messages(options.back);
  std::optional<Output> output = OpenOutput(session, messages, options);
  if (!output) return kRefused;
  FixedControls controls(options, *check);
  NoWindowsPrintUi ui;
  const PrintResult result =
      PrintDocument(session, controls, ui, messages, *output->sink, /*quiet=*/true);
  const bool finished = output->finish();
  return result == PrintResult::kDone && finished ? kDone : kRefused;
}

}  // namespace redadado::cli
