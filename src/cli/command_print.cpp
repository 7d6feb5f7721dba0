#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/file_paths.h"
#include "cli/commands.h"
#include "emboss/file_sink.h"
#include "emboss/print_options.h"
#include "emboss/print_run.h"
#include "emboss/serial_link.h"
#include "embosser/virtual_embosser.h"

namespace redadado::cli {

namespace {

struct PrintCommand {
  std::string document;
  PrintOptions print;
  bool back = true;
  std::optional<std::string> output;
  std::optional<std::string> port;
  std::optional<std::string> pictures;
};

// With no destination given, the virtual embosser draws the sheets here.
constexpr const char* kDefaultPictures = "embossed";

// The options as a usage error text, or nothing when they are fine.
std::optional<std::string> ParseOptions(Args args, PrintCommand& options) {
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
      options.print.copies = *copies;
    } else if (arg == "--pages") {
      const auto pages = ParsePageRange(value);
      if (!pages) return "--pages takes A-B with pages from 1 to 999";
      options.print.firstPage = pages->first;
      options.print.lastPage = pages->second;
    } else if (arg == "--side") {
      options.print.side = ParseSideChoice(value);
      if (!options.print.side) {
        return "--side takes none|front|back|both|both-in-order|single or -1..4";
      }
    } else if (arg == "--dots") {
      const auto dots = ParseDotKind(value);
      if (!dots) return "--dots takes medium|large|medium-double|large-double or 0..3";
      options.print.dots = *dots;
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
  if (const auto reason = file->Open(PathFromUtf8(path))) {
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
  SerialLink* opened = link.get();
  // Closing lets the output drain; output it had to discard is a failure, not a print.
  return Output{std::move(link), [opened] {
                  if (opened->Close()) return true;
                  PrintError(opened->Failure());
                  return false;
                }};
}

std::optional<Output> OpenPictures(const std::string& directory) {
  auto embosser = std::make_unique<VirtualEmbosser>(PathFromUtf8(directory));
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
                                 const PrintCommand& options) {
  if (options.output) return OpenFile(*options.output);
  if (options.port) return OpenPort(session, messages, *options.port);
  return OpenPictures(*options.pictures);
}

}  // namespace

int RunPrint(Args args) {
  PrintCommand options;
  if (const auto usage = ParseOptions(args, options)) return UsageError(*usage);

  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, options.document);
  if (!check) return kRefused;

  StderrMessages messages(options.back);
  std::optional<Output> output = OpenOutput(session, messages, options);
  if (!output) return kRefused;
  FixedControls controls(options.print, *check, options.document);
  NoWindowsPrintUi ui;
  const PrintResult result =
      PrintDocument(session, controls, ui, messages, *output->sink, /*quiet=*/true);
  const bool finished = output->finish();
  return result == PrintResult::kDone && finished ? kDone : kRefused;
}

}  // namespace redadado::cli
