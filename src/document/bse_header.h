#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "document/print_choices.h"

namespace redadado {

inline constexpr const char* kCannotOpenFile = "ファイルがオープンできませんでした。";
inline constexpr const char* kUnsupportedLineCount = "行数が不適切です。ＮＥＦでは扱えません。";
// The tool and the queue refuse a header with nothing after it, whatever page count it claims.
inline constexpr const char* kNoBody = "文書に本文がありません（見出しの行だけです）。";
inline constexpr const char* kLines18Text = "１８行（両面）";
inline constexpr const char* kLines22Text = "２２行（片面）";

// The header digits are looked for from this byte offset of the header line on.
inline constexpr long kHeaderDigitsOffset = 503;

// The current document with what its last accepted header said.
struct BrailleDocument {
  std::string path;
  // 18 or 22 once a header has been accepted. Never 0: the page views divide by it.
  int linesPerPage = 18;
  int pageCount = 0;  // 0..999
};

struct BseHeader {
  int linesPerPage = 0;  // 10*d7 + d8
  int pageCount = 0;     // 100*d2 + 10*d3 + d4; the thousands digit d1 is ignored
};

// Opens a document for binary reading: only a regular file, never waiting on a FIFO or a device.
// nullptr when it cannot; `reason` (when given) then says "path: why".
std::FILE* OpenDocumentFile(const std::string& path, std::string* reason = nullptr);

// A header line longer than this is no header: scans stop here instead of reading on for ever.
inline constexpr long kHeaderLineLimit = 64 * 1024;

// Reads the header line from the file's current position (its start) up to and including its
// first LF, or to the end of the file. Empty when fewer than eight digits stand from offset 503
// on, or when no LF ends it within kHeaderLineLimit bytes: such a header says nothing we could
// use.
std::optional<BseHeader> ReadBseHeader(std::FILE* file);

// Only 18-line (double-sided) and 22-line (single-sided) documents can be embossed.
constexpr bool IsSupportedLineCount(int linesPerPage) {
  return linesPerPage == 18 || linesPerPage == 22;
}

// What the main window shows after checking the current document's header.
struct HeaderCheck {
  bool accepted = false;
  std::string message;      // the refusal, when not accepted
  std::string openFailure;  // "path: why" when the file could not be opened
  bool hasBody = false;     // a byte follows the header line
  int linesPerPage = 0;
  int pageCount = 0;
  std::string linesText;            // linesEdit
  bool sideLabelEnabled = false;    // sideLabel
  SideMode side = SideMode::kNone;  // sideList; kNone clears the selection
};

// Reads the header of `document.path`. On acceptance stores its lines per page and page count
// in `document`; a refusal changes nothing.
HeaderCheck CheckBseHeader(BrailleDocument& document);

}  // namespace redadado
