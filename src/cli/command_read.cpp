#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "document/cell_codes.h"
#include "preview/row_reading.h"
#include "preview/row_table.h"

namespace redadado::cli {
namespace {

// The braille pattern character U+2800 + dot value, in UTF-8.
void AppendPattern(std::string& out, std::uint8_t cell) {
  const int dots = CellDots(cell);
  out += static_cast<char>(0xE2);
  out += static_cast<char>(0xA0 | (dots >> 6));
  out += static_cast<char>(0x80 | (dots & 0x3F));
}

void AppendRowAsDots(std::string& out, const RowTable::Row& row) {
  const int count = RowCellCount(row);
  for (int column = 0; column < count; ++column) AppendPattern(out, row[column]);
}

void AppendRowAsKana(std::string& out, KanaReadingState& state, const RowTable::Row& row) {
  ReadRowAsKana(state, row, [&out](int, std::uint8_t cell, const KanaReading& reading) {
    if (!reading.empty()) {
      out += reading.text;
    } else if (cell == ' ') {
      out += ' ';
    } else {
      AppendPattern(out, cell);
    }
  });
}

// One line per row that the page view draws for page `pageNumber`, read from a fresh start as
// the page view reads it.
void AppendPage(std::string& out, int documentLines, const RowTable& table, int pageNumber,
                bool dots) {
  KanaReadingState kana;
  const int linesPerPage = std::min(documentLines, kRowTableRows);
  for (int r = FirstDrawnRow(linesPerPage, pageNumber); r < linesPerPage; ++r) {
    const RowTable::Row& row = table.rows[r];
    if (dots) {
      AppendRowAsDots(out, row);
    } else {
      AppendRowAsKana(out, kana, row);
    }
    out += '\n';
  }
}

int OpenFailed() {
  PrintError(kBseOpenFailed);
  return kRefused;
}

int Read(const std::string& document, std::optional<int> page, bool dots) {
  Session session = MakeSession();
  const std::optional<HeaderCheck> check = OpenDocument(session, document);
  if (!check) return kRefused;
  if (page && *page > check->pageCount) {
    ThrowUsage("the document has " + std::to_string(check->pageCount) + " pages");
  }
  const std::string& path = session.document.path;
  const int linesPerPage = session.document.linesPerPage;
  std::string out;
  if (page) {
    const std::optional<RowTable> table = ReadPageRows(path, linesPerPage, *page);
    if (!table) return OpenFailed();
    AppendPage(out, linesPerPage, *table, *page, dots);
  } else {
    // One pass over the file for all pages.
    std::optional<PageRowReader> reader = PageRowReader::Open(path, linesPerPage);
    if (!reader) return OpenFailed();
    for (int p = 1; p <= check->pageCount; ++p) {
      out += "ページ " + std::to_string(p) + '\n';
      AppendPage(out, linesPerPage, reader->NextPage(), p, dots);
    }
  }
  std::cout << out;
  return kDone;
}

}  // namespace

Runner DeclareRead(CLI::App& command) {
  struct Options {
    std::string document;
    std::optional<int> page;
    bool dots = false;
  };
  auto options = std::make_shared<Options>();
  command.add_option("DOCUMENT", options->document, "a BSE or BES document")->required();
  AddNumberOption(command, "--page", options->page, 1, 999, "only page N");
  command.add_flag("--dots", options->dots, "every cell as its braille pattern");
  command.footer(
      "One line per drawn row: a cell with a reading shows the reading, any other cell its\n"
      "braille pattern, a blank cell a space. Without --page every page, each after a line\n"
      "\"ページ N\"; every page is read from a fresh start, as the page view reads it.");
  return [options] { return Read(options->document, options->page, options->dots); };
}

}  // namespace redadado::cli
