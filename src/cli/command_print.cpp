#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_paths.h"
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
  std::string back = "yes";
  std::optional<std::string> output;
  std::optional<std::string> port;
  std::optional<std::string> pictures;
};

// With no destination given, the virtual embosser draws the sheets here.
constexpr const char* kDefaultPictures = "embossed";

void DeclareOptions(CLI::App& command, PrintCommand& options) {
  command.add_option("DOCUMENT", options.document, "a BSE or BES document")->required();
  AddNumberOption(command, "--copies", options.print.copies, 1, 999,
                  "number of copies (default 1)");
  command
      .add_option_function<std::string>(
          "--pages",
          [&options](const std::string& text) {
            const auto pages = ParsePageRange(text);
            options.print.firstPage = pages->first;
            options.print.lastPage = pages->second;
          },
          "page range (default 1 to the header's page count)")
      ->check(CLI::Validator(
          [](std::string& text) {
            return ParsePageRange(text) ? std::string()
                                        : "takes A-B with pages from 1 to 999, not " + text;
          },
          ""))
      ->type_name("A-B");
  command
      .add_option("--side", options.print.side,
                  "print-side choice (default: both for 18 lines, none for 22)")
      ->transform(ParsedChoice(ParseSideMode, "none|front|back|both|both-in-order|single or -1..4"))
      ->type_name("none|front|back|both|both-in-order|single");
  command.add_option("--dots", options.print.dots, "dot kind (default medium)")
      ->transform(ParsedChoice(ParseDotKind, "medium|large|medium-double|large-double or 0..3"))
      ->type_name("medium|large|medium-double|large-double");
  command.add_option("--back", options.back, "answer to the back-side question (default yes)")
      ->check(CLI::Validator(
          [](std::string& text) {
            return text == "yes" || text == "no" ? std::string() : "takes yes or no, not " + text;
          },
          ""))
      ->type_name("yes|no");
  CLI::Option* port = command
                          .add_option("--port", options.port,
                                      "COM1..COM9 or a device path; line parameters from NEF.ini")
                          ->type_name("NAME");
  CLI::Option* output =
      command.add_option("--output", options.output, "write the byte stream to FILE")
          ->type_name("FILE");
  CLI::Option* pictures = command
                              .add_option("--pictures", options.pictures,
                                          "virtual embosser: one PNG per embossed sheet side in "
                                          "DIR (the default, into ./embossed)")
                              ->type_name("DIR");
  port->excludes(output)->excludes(pictures);
  output->excludes(pictures);
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
      case MessageButtons::kYesNoDefaultNo:
        return MessageAnswer::kNo;
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
                  PrintError(path + ": " + FailureText(sink->Failure()));
                  return false;
                }};
}

std::optional<Output> OpenPort(const Session& session, Messages& messages,
                               const std::string& port) {
  std::unique_ptr<SerialLink> link =
      OpenSerialLink(session.settings, session.paths, messages, {}, port);
  if (!link) return std::nullopt;  // declined or reported
  SerialLink* opened = link.get();
  // Closing lets the output drain; output it had to discard is a failure, not a print.
  return Output{std::move(link), [opened] {
                  if (opened->Close()) return true;
                  PrintError(FailureText(opened->Failure()));
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

int Print(PrintCommand options) {
  if (!options.output && !options.port && !options.pictures) options.pictures = kDefaultPictures;
  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, options.document);
  if (!check) return kRefused;

  StderrMessages messages(options.back == "yes");
  std::optional<Output> output = OpenOutput(session, messages, options);
  if (!output) return kRefused;
  FixedControls controls(options.print, *check, options.document);
  NoWindowsPrintUi ui;
  const PrintResult result = PrintDocument(session.document.path, session.run, controls, ui,
                                           messages, *output->sink, /*quiet=*/true);
  const bool finished = output->finish();
  return result == PrintResult::kDone && finished ? kDone : kRefused;
}

}  // namespace

Runner DeclarePrint(CLI::App& command) {
  auto options = std::make_shared<PrintCommand>();
  DeclareOptions(command, *options);
  return [options] { return Print(*options); };
}

}  // namespace redadado::cli
