#include <chrono>
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
  std::optional<int> holdTimeout;  // seconds; empty: wait as long as the embosser holds
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
            return ParsePageRange(text)
                       ? std::string()
                       : "takes A-B with pages from 1 to 999 and A <= B, not " + text;
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
                                      "COM1..COM256 or a device path; line parameters from NEF.ini")
                          ->type_name("NAME");
  CLI::Option* hold = AddNumberOption(command, "--hold-timeout", options.holdTimeout, 1, 86'400,
                                      "give up when the embosser takes no data for this many "
                                      "seconds (default: wait)");
  hold->needs(port);
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

// Where the stream goes, and how it is finished once the run is over (false: a failure, printed
// unless the run already reported it or ended early).
struct Output {
  std::unique_ptr<ByteSink> sink;
  std::function<bool(PrintResult result)> finish;
};

bool Reported(PrintResult result) {
  return result != PrintResult::kDone;
}

std::optional<Output> OpenFile(const std::string& path, const std::string& document) {
  auto file = std::make_unique<FileSink>();
  if (const auto reason = file->Open(PathFromUtf8(path), PathFromUtf8(document))) {
    PrintError(*reason);
    return std::nullopt;
  }
  FileSink* sink = file.get();
  // Only a whole stream replaces the file; otherwise the sink goes and the file stays as it was.
  return Output{std::move(file), [sink, path](PrintResult result) {
                  if (result != PrintResult::kDone) return false;
                  if (sink->Close()) return true;
                  PrintError(path + ": " + FailureText(sink->Failure()));
                  return false;
                }};
}

std::optional<Output> OpenPort(const Session& session, Messages& messages, const std::string& port,
                               HoldHandler whileHeld) {
  std::unique_ptr<SerialLink> link =
      OpenSerialLink(session.settings, session.paths, messages, std::move(whileHeld), port);
  if (!link) return std::nullopt;  // declined or reported
  SerialLink* opened = link.get();
  // Closing lets the output drain; output it had to discard is a failure, not a print.
  return Output{std::move(link), [opened](PrintResult result) {
                  if (opened->Close()) return true;
                  if (!Reported(result)) PrintError(FailureText(opened->Failure()));
                  return false;
                }};
}

std::optional<Output> OpenPictures(const std::string& directory) {
  auto embosser = std::make_unique<VirtualEmbosser>(PathFromUtf8(directory));
  VirtualEmbosser* sink = embosser.get();
  return Output{std::move(embosser), [sink](PrintResult result) {
                  const VirtualEmbosser::Outcome outcome = sink->Finish();
                  if (!outcome.ok) {
                    if (!Reported(result)) PrintError(outcome.text);
                    return false;
                  }
                  std::cout << outcome.text << '\n';
                  return true;
                }};
}

// Ends the run at the next byte once a stop signal came: the run then ends as a stop, and the
// output is finished (a file left as it was, the port as it was found).
class StoppableSink : public ByteSink {
 public:
  explicit StoppableSink(ByteSink& sink) : sink_(sink) {}
  bool Put(std::uint8_t byte) override { return StopSignal() == 0 && sink_.Put(byte); }
  LinkFailure Failure() const override {
    return StopSignal() != 0 ? LinkFailure{LinkFault::kAbandoned, {}} : sink_.Failure();
  }

 private:
  ByteSink& sink_;
};

// Remembers the last page that went out, to say how far a stopped run came.
class SentPages : public NoWindowsPrintUi {
 public:
  void PageSent(int page, int copy) override {
    page_ = page;
    copy_ = copy;
  }
  std::string Summary() const {
    if (page_ == 0) return "まだ一ページも送信していません。";
    return std::to_string(copy_) + " 部目の " + std::to_string(page_) +
           " ページ目まで送信しました。";
  }

 private:
  int page_ = 0;
  int copy_ = 0;
};

// A hold ends at a stop signal, or after `seconds` when they are given.
HoldHandler HoldLimit(std::optional<int> seconds, bool& timedOut) {
  return [seconds, &timedOut](std::chrono::milliseconds held) {
    if (StopSignal() != 0) return false;
    timedOut = seconds && held >= std::chrono::seconds(*seconds);
    return !timedOut;
  };
}

// What the header allows: a first page the document has, and a body to print.
std::optional<std::string> PagesRefusal(const PrintOptions& print, const HeaderCheck& check) {
  const int first = print.firstPage.value_or(1);
  if (first > check.pageCount) {
    return "pages " + std::to_string(first) + "-" + std::to_string(print.lastPage.value_or(999)) +
           " asked for, the document has " + std::to_string(check.pageCount) + " pages";
  }
  return std::nullopt;
}

int Print(PrintCommand options) {
  if (!options.output && !options.port && !options.pictures) options.pictures = kDefaultPictures;
  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, options.document);
  if (!check) return kRefused;
  if (!check->hasBody) {
    PrintError(kNoBody);
    return kRefused;
  }
  if (const auto refusal = PagesRefusal(options.print, *check)) ThrowUsage(*refusal);

  StderrMessages messages(options.back == "yes");
  bool timedOut = false;
  std::optional<Output> output;
  if (options.output) {
    output = OpenFile(*options.output, options.document);
  } else if (options.port) {
    output = OpenPort(session, messages, *options.port, HoldLimit(options.holdTimeout, timedOut));
  } else {
    output = OpenPictures(*options.pictures);
  }
  if (!output) return kRefused;
  FixedControls controls(options.print, *check, options.document);
  SentPages pages;
  StoppableSink sink(*output->sink);
  const PrintResult result = PrintDocument(session.document.path, session.run, controls, pages,
                                           messages, sink, /*quiet=*/true);
  const bool finished = output->finish(result);
  if (StopSignal() != 0) {
    PrintError("中断しました。" + pages.Summary());
  } else if (timedOut) {
    PrintError("点字プリンターが " + std::to_string(*options.holdTimeout) +
               " 秒間データを受け取らなかったため、送信を取りやめました。" + pages.Summary());
  }
  return result == PrintResult::kDone && finished ? kDone : kRefused;
}

}  // namespace

Runner DeclarePrint(CLI::App& command) {
  auto options = std::make_shared<PrintCommand>();
  DeclareOptions(command, *options);
  return [options] { return Print(*options); };
}

}  // namespace redadado::cli
