// redadado-cups-filter: a BSE or BES document in, the embosser's byte stream out, made by the
// same print engine as the windows. CUPS calls it as: job-id user title copies options [file].

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include <unistd.h>

#include "base/output_file.h"
#include "cups/cups_job.h"
#include "document/bes_import.h"
#include "document/document_kind.h"
#include "emboss/file_sink.h"
#include "emboss/print_run.h"
#include "workflow/session.h"

namespace redadado::cups {
namespace {

volatile std::sig_atomic_t cancelled = 0;

void OnTerminate(int) {
  cancelled = 1;
}

// The stream goes to standard output until the job is cancelled or the backend goes away. A
// backend that went away (no device, a link that died) has said why and its exit status decides
// what becomes of the job: the filter ends without a word of its own, so that it neither covers
// the backend's reason nor turns a retry into a filter failure.
class JobSink : public ByteSink {
 public:
  JobSink() { file_.Attach(stdout); }
  bool Put(std::uint8_t byte) override { return cancelled == 0 && file_.Put(byte); }
  LinkFailure Failure() const override {
    LinkFailure failure = file_.Failure();
    // The backend went away: the run ends as a stop.
    if (failure.kind == LinkFault::kReaderGone) return {LinkFault::kAbandoned, {}};
    if (cancelled != 0) return {LinkFault::kFailed, "ジョブが取り消されました。"};
    return failure;
  }
  bool Close() { return file_.Close() && cancelled == 0; }

 private:
  FileSink file_;
};

// Every message becomes an ERROR: line. The back-side question cannot be answered in a queue:
// it is refused before the run starts, and would be declined here.
class JobMessages : public Messages {
 public:
  bool declined = false;
  MessageAnswer Show(const std::string&, const std::string& text, MessageIcon,
                     MessageButtons buttons) override {
    if (buttons == MessageButtons::kYesNo) {
      declined = true;
      Status("ERROR", kBackSideRefused);
      return MessageAnswer::kNo;
    }
    Status("ERROR", text);
    return MessageAnswer::kOk;
  }
};

// Page accounting for the queue.
class JobUi : public NoWindowsPrintUi {
 public:
  void PageSent(int page, int) override { Status("PAGE", std::to_string(page) + " 1"); }
};

// Copies standard input into `file`; false when it could not or the job was cancelled.
bool CopyInput(const std::filesystem::path& file) {
  std::FILE* out = std::fopen(file.string().c_str(), "wb");
  if (out == nullptr) return false;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0 && errno == EINTR && cancelled == 0) continue;
    if (got < 0 || std::fwrite(buffer, 1, static_cast<std::size_t>(got), out) !=
                       static_cast<std::size_t>(got)) {
      ok = false;
      break;
    }
  }
  return std::fclose(out) == 0 && ok && cancelled == 0;
}

// A document or an option the queue cannot print: the reason, also to the backend, which
// cancels the job with it. Failing the filter instead would leave the job stopped, its reason
// overwritten by the scheduler's "Filter failed".
int Refuse(std::string_view reason) {
  Status("ERROR", reason);
  std::cout << kRefusalMark << OneLine(reason) << std::endl;
  return 0;
}

int Run(int argc, char** argv) {
  if (argc < 6 || argc > 7) {
    std::cerr << "Usage: redadado-cups-filter job-id user title copies options [file]\n";
    return 1;
  }
  const JobOptionsResult job = ParseJobOptions(argv[4], argv[5]);
  if (!job.options) return Refuse(job.reason);
  // Private to this job (only its owner may read them) and removed however the filter ends: the
  // job as it came on standard input, and a BES document's conversion.
  const PrivateFile copied(".job");
  const PrivateFile converted(".bse");
  if (copied.Path().empty() || converted.Path().empty()) {
    Status("ERROR", "作業用のファイルを作れませんでした。");
    return 1;
  }
  std::filesystem::path document;
  if (argc == 7) {
    document = argv[6];
  } else {
    document = copied.Path();
    if (!CopyInput(document)) {
      Status("ERROR", "文書を受け取れませんでした。");
      return 1;
    }
  }
  const char* type = std::getenv("CONTENT_TYPE");
  const std::string contentType = type != nullptr ? type : "";
  if (!contentType.empty() && contentType != kBseType && contentType != kBesType) {
    return Refuse("この印刷キューで印刷できるのは BSE と BES の文書だけです（" + contentType +
                  " は印刷できません）。");
  }

  Session session(AppPaths(converted.Path().parent_path()));
  const bool bes = contentType.empty()
                       ? argc == 7 && DocumentKindOf(document.string()) == DocumentKind::kBes
                       : contentType == kBesType;
  if (bes) {
    Status("INFO", "BES の文書を BSE に変換しています。");
    const BesConversion how{.cancelled = [] { return cancelled != 0; }, .accept = {}};
    if (const auto reason =
            ConvertBesToBse(document.string(), converted.Path().string(), session.document, how)) {
      return cancelled != 0 ? 1 : Refuse(*reason);
    }
  } else {
    session.document.path = document.string();
  }
  const HeaderCheck check = CheckBseHeader(session.document);
  if (!check.accepted) return Refuse(check.message);
  if (!check.hasBody) return Refuse(kNoBody);
  const PrintOptions& print = *job.options;
  if (print.firstPage.value_or(1) > check.pageCount) {
    return Refuse("ページ範囲の始め " + std::to_string(print.firstPage.value_or(1)) +
                  " ページは文書にありません（文書は " + std::to_string(check.pageCount) +
                  " ページです）。");
  }
  if (print.side.value_or(check.side) == SideMode::kFrontAndBack) return Refuse(kBackSideRefused);

  FixedControls controls(print, check, argv[3]);
  JobUi ui;
  JobMessages messages;
  JobSink sink;
  const PrintResult result = PrintDocument(session.document.path, session.run, controls, ui,
                                           messages, sink, /*quiet=*/true);
  const bool written = sink.Close();
  if (sink.Failure().kind == LinkFault::kAbandoned) return 0;
  return result == PrintResult::kDone && written && !messages.declined ? 0 : 1;
}

}  // namespace
}  // namespace redadado::cups

int main(int argc, char** argv) {
  struct sigaction action {};
  action.sa_handler = redadado::cups::OnTerminate;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);  // a backend that went away is a write error, not a crash
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  return redadado::cups::Run(argc, argv);
}
