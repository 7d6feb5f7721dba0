#include "emboss/print_run.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "document/bse_header.h"
#include "document/print_choices.h"
#include "emboss/page_raster.h"
#include "emboss/stream_bytes.h"

namespace redadado {

namespace {

constexpr std::uint8_t kEndOfFile = 0x1A;
// Line in page of a line that the end of the file ended.
constexpr int kEndOfFileLine = 100;

constexpr std::size_t kPageTableSize = 1000;
constexpr std::size_t kLineBufferSize = 232;  // bytes of a line kept, its end included
constexpr int kStoreRows = 26;
constexpr std::size_t kRowBytes = 45;  // 44 bytes and a terminating 0

constexpr std::uint8_t kRestartSequence[] = {0x0D, 0x0A, 0x0C, 0x1B, 0x1B,
                                             0x47, 0x1B, 0x1B, 0x44, 0x31};

// The first pass of a copy in `mode`; kFrontAndBack turns to the back after it.
PassSide FirstPass(SideMode mode) {
  switch (mode) {
    case SideMode::kBackOnly:
      return PassSide::kBack;
    case SideMode::kFrontAndBackInOrder:
      return PassSide::kInPageOrder;
    case SideMode::kAllSingle:
      return PassSide::kAllSingle;
    default:
      return PassSide::kFront;
  }
}

// A pass over an 18-line document leaves out the pages of the other side.
bool LeavesOut(PassSide pass, int page) {
  return (pass == PassSide::kFront && page % 2 == 0) || (pass == PassSide::kBack && page % 2 == 1);
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
  const int size = std::snprintf(nullptr, 0, format, args...);
  std::string text(static_cast<std::size_t>(std::max(size, 0)), '\0');
  std::snprintf(text.data(), text.size() + 1, format, args...);
  return text;
}

class PrintRun {
 public:
  PrintRun(const std::string& documentPath, RunState& run, PrintControls& controls, PrintUi& ui,
           Messages& messages, ByteSink& sink, bool quiet)
      : documentPath_(documentPath),
        run_(run),
        controls_(controls),
        ui_(ui),
        messages_(messages),
        sink_(sink),
        quiet_(quiet),
        raster_(std::make_unique<PageRaster>()) {}

  PrintResult Run();

 private:
  enum class CopyResult { kDone, kDeclined, kStopped, kFailed };
  enum class PassEnd { kEnded, kStopped, kFailed };
  struct Line {
    std::array<std::uint8_t, kLineBufferSize> bytes{};
    std::size_t size = 0;
    bool endedByEof = false;
  };

  CopyResult PrintCopy(SideMode mode, int copy);
  PassEnd RunPass(PassSide pass, int copy);
  bool TakeUpInterruption(int& j, int& n, int r);
  void ReadLine(Line& line);
  void SkipHeaderLine();
  void StoreRow(const std::uint8_t* bytes, std::size_t size);
  void DrawStoredRows(int page, PassSide pass);
  bool SendPage();
  bool SendByte(std::uint8_t byte);
  bool SendBytes(std::span<const std::uint8_t> bytes);

  const std::string& documentPath_;
  RunState& run_;
  PrintControls& controls_;
  PrintUi& ui_;
  Messages& messages_;
  ByteSink& sink_;
  const bool quiet_;
  std::unique_ptr<PageRaster> raster_;

  std::FILE* file_ = nullptr;
  int linesPerPage_ = 18;
  int startPage_ = 1;
  int lastPage_ = 999;
  // Pages below this are skipped: the start page, raised only while a resume reads forward to
  // a page whose start could not be recorded.
  int skipBelow_ = 1;
  bool stopped_ = false;
  bool failed_ = false;

  std::array<long, kPageTableSize> pageStarts_{};
  int recordedPages_ = 0;  // pages 1..recordedPages_ have their start in pageStarts_
  std::array<std::array<std::uint8_t, kRowBytes>, kStoreRows> store_{};
  int storedRows_ = 0;
};

PrintResult PrintRun::Run() {
  file_ = OpenDocumentFile(documentPath_);
  if (file_ == nullptr) {
    messages_.Report(kCannotOpenFile);
    return PrintResult::kRefused;
  }
  const std::optional<BseHeader> header = ReadBseHeader(file_);
  if (!header || !IsSupportedLineCount(header->linesPerPage)) {
    messages_.Report(kUnsupportedLineCount);
    std::fclose(file_);
    return PrintResult::kRefused;
  }
  linesPerPage_ = header->linesPerPage;
  run_.escapeRequested = false;
  startPage_ = controls_.StartPage();
  lastPage_ = controls_.LastPage();

  // Up before the first byte is offered: an embosser that holds the line from the start must
  // not leave the run unseen and out of Esc's reach.
  if (!quiet_) {
    ui_.SetProgressText(Format(kProgressFormat, controls_.DocumentLabel().c_str(), 1, startPage_));
    ui_.ShowProgress();
  }
  if (SendBytes(kStartCommands)) {
    SendByte(IsLargeDot(controls_.Dots()) ? '2' : '1');
  }
  for (int copy = 1; !failed_ && copy <= controls_.Copies(); ++copy) {
    // Without a choice the copy goes out double-sided.
    const SideMode choice = controls_.Sides();
    const SideMode mode = choice == SideMode::kNone ? SideMode::kFrontAndBack : choice;
    if (PrintCopy(mode, copy) == CopyResult::kStopped) break;
  }
  if (!failed_) SendByte(kCarriageReturn);
  std::fclose(file_);
  file_ = nullptr;
  controls_.ResetDocumentControls();
  const LinkFailure failure = failed_ ? sink_.Failure() : LinkFailure{};
  if (failure.kind == LinkFault::kAbandoned) return PrintResult::kStopped;
  if (failed_) {
    messages_.Report(std::string(kLinkFailedMessage) + "\n" + FailureText(failure));
    return PrintResult::kLinkFailed;
  }
  return stopped_ ? PrintResult::kStopped : PrintResult::kDone;
}

PrintRun::CopyResult PrintRun::PrintCopy(SideMode mode, int copy) {
  stopped_ = false;
  // However the copy ends but declined, its windows go and the Esc it may have left is spent;
  // a link that failed takes them down too, so they never outlive the run.
  const auto finish = [this](CopyResult result) {
    if (!quiet_) {
      ui_.HideProgress();
      ui_.HideEscapeNotice();
    }
    run_.escapeRequested = false;
    return result;
  };
  PassSide pass = FirstPass(mode);
  for (;;) {
    if (!quiet_) ui_.HideProgress();
    if (controls_.Sides() == SideMode::kFrontAndBack && pass == PassSide::kBack &&
        !messages_.ConfirmYesNo(kBackSideQuestion)) {
      return CopyResult::kDeclined;
    }
    if (!quiet_) ui_.ShowProgress();
    const PassEnd end = RunPass(pass, copy);
    if (end == PassEnd::kFailed) return finish(CopyResult::kFailed);
    if (end == PassEnd::kStopped) break;
    const SideMode choice = controls_.Sides();
    if (choice != SideMode::kFrontOnly &&
        !(choice == SideMode::kFrontAndBack && pass == PassSide::kFront)) {
      break;
    }
    if (!SendBytes(kRestartSequence)) return finish(CopyResult::kFailed);
    // A copy has at most its front pass and one back pass, whatever the choice says by now.
    if (mode == SideMode::kFrontOnly || pass == PassSide::kBack) break;
    pass = PassSide::kBack;
  }
  if (linesPerPage_ == 18 && pass == PassSide::kBack && !SendByte(kFormFeed)) {
    return finish(CopyResult::kFailed);
  }
  return finish(stopped_ ? CopyResult::kStopped : CopyResult::kDone);
}

PrintRun::PassEnd PrintRun::RunPass(PassSide pass, int copy) {
  std::rewind(file_);
  SkipHeaderLine();
  raster_->Clear();
  storedRows_ = 0;
  recordedPages_ = 0;
  skipBelow_ = startPage_;
  const int lines = linesPerPage_;
  int j = 0;
  int n = 0;
  Line line;
  for (;;) {
    if (j % lines == 0) {
      const int page = j / lines + 1;
      if (page <= static_cast<int>(kPageTableSize)) {
        pageStarts_[static_cast<std::size_t>(page - 1)] = std::ftell(file_);
        recordedPages_ = std::max(recordedPages_, page);
      }
      n = 0;
    }
    run_.escapeRequested = false;
    ReadLine(line);
    ++j;
    ++n;
    const int r = (j - 1) / lines + 1;
    if (line.endedByEof) n = kEndOfFileLine;
    if (r > lastPage_) return PassEnd::kEnded;
    if (lines == 18 && !line.endedByEof && LeavesOut(pass, r)) continue;
    ui_.PumpEvents();
    if (r < skipBelow_) continue;

    if (n == 1) {
      if (!quiet_) {
        ui_.SetProgressText(Format(kProgressFormat, controls_.DocumentLabel().c_str(), copy, r));
      }
      ui_.PumpEvents();
      // The first line of a back page lies above the raster; it is not drawn at all.
      if (pass == PassSide::kAllSingle || pass == PassSide::kInPageOrder || lines == 22 ||
          r % 2 == 1) {
        for (std::size_t column = 0; column < line.size; ++column) {
          raster_->DrawCell(line.bytes[column], 0, static_cast<int>(column), r, pass, lines);
        }
      }
      continue;
    }
    if (n == lines || n == kEndOfFileLine) {
      StoreRow(line.bytes.data(), line.size - 1);
      DrawStoredRows(r, pass);
      if (!SendPage()) return PassEnd::kFailed;
      ui_.PageSent(r, copy);
      // An Esc during the document's last page is taken up too, as after a page the range
      // ends on: dropped, it would let the further copies and jobs run on unasked.
      if (run_.escapeRequested) {
        if (!TakeUpInterruption(j, n, r)) return PassEnd::kStopped;
        continue;
      }
      if (n == kEndOfFileLine) return PassEnd::kEnded;
      n = 0;
      continue;
    }
    StoreRow(line.bytes.data(), line.size);
  }
}

// After a page went out with Esc pending: the resume dialog, until the user stops or confirms
// the page to go on from. False when the user stopped.
bool PrintRun::TakeUpInterruption(int& j, int& n, int r) {
  run_.escapeRequested = false;
  if (!quiet_) ui_.HideEscapeNotice();
  int page = 0;
  for (;;) {
    ui_.ShowResumeDialog(r);
    page = run_.resumePage;
    if (page == 0) {
      stopped_ = true;
      return false;
    }
    page = std::max(page, 1);
    if (messages_.ConfirmOkCancel(Format(kResumeQuestionFormat, page))) break;
  }
  // A page whose start lies beyond the table is reached by reading on from the last recorded
  // page and skipping the pages before it.
  const int from = std::min(page, recordedPages_);
  std::fseek(file_, pageStarts_[static_cast<std::size_t>(from - 1)], SEEK_SET);
  skipBelow_ = std::max(startPage_, from == page ? startPage_ : page);
  j = (from - 1) * linesPerPage_;
  n = 0;
  return true;
}

void PrintRun::ReadLine(Line& line) {
  line.size = 0;
  line.endedByEof = false;
  // The end of the line always fits: a longer line keeps its first bytes and loses the rest.
  constexpr std::size_t kContent = kLineBufferSize - 1;
  for (;;) {
    const int c = std::getc(file_);
    if (c == EOF) {
      line.bytes[line.size++] = kEndOfFile;
      line.endedByEof = true;
      return;
    }
    if (c == kLineFeed) {
      line.bytes[line.size++] = kLineFeed;
      break;
    }
    if (line.size < kContent) line.bytes[line.size++] = static_cast<std::uint8_t>(c);
  }
  // An empty braille line is written as two spaces; up to two spaces before CR LF go.
  for (int dropped = 0; dropped < 2; ++dropped) {
    const std::size_t size = line.size;
    if (size < 3 || line.bytes[size - 2] != kCarriageReturn || line.bytes[size - 3] != ' ') break;
    line.bytes[size - 3] = kCarriageReturn;
    line.bytes[size - 2] = kLineFeed;
    line.size = size - 1;
  }
}

void PrintRun::SkipHeaderLine() {
  for (int c = std::getc(file_); c != EOF && c != kLineFeed; c = std::getc(file_)) {
  }
}

void PrintRun::StoreRow(const std::uint8_t* bytes, std::size_t size) {
  if (storedRows_ + 1 >= kStoreRows) return;
  auto& row = store_[static_cast<std::size_t>(++storedRows_)];
  const std::size_t kept = std::min(size, kRowBytes - 1);
  std::copy_n(bytes, kept, row.begin());
  row[kept] = 0;
}

void PrintRun::DrawStoredRows(int page, PassSide pass) {
  for (int k = 1; k <= storedRows_; ++k) {
    const auto& row = store_[static_cast<std::size_t>(k)];
    for (std::size_t column = 0; row[column] != 0; ++column) {
      raster_->DrawCell(row[column], k, static_cast<int>(column), page, pass, linesPerPage_);
    }
  }
  storedRows_ = 0;
}

bool PrintRun::SendPage() {
  const bool sent = raster_->SendRaster([this](std::uint8_t byte) { return SendByte(byte); },
                                        [this] { return IsDoubleStrike(controls_.Dots()); });
  raster_->Clear();
  return sent && SendByte(kFormFeed);
}

bool PrintRun::SendByte(std::uint8_t byte) {
  if (failed_) return false;
  ui_.PumpEvents();
  if (run_.escapeRequested && !quiet_) ui_.ShowEscapeNotice();
  if (!sink_.Put(byte)) {
    failed_ = true;
    return false;
  }
  return true;
}

bool PrintRun::SendBytes(std::span<const std::uint8_t> bytes) {
  for (const std::uint8_t byte : bytes) {
    if (!SendByte(byte)) return false;
  }
  return true;
}

}  // namespace

PrintResult PrintDocument(const std::string& documentPath, RunState& run, PrintControls& controls,
                          PrintUi& ui, Messages& messages, ByteSink& sink, bool quiet) {
  return PrintRun(documentPath, run, controls, ui, messages, sink, quiet).Run();
}

}  // namespace redadado
