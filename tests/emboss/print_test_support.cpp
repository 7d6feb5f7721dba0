#include "print_test_support.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "base/file_paths.h"

namespace redadado::test {

std::string MarkedDocument(int linesPerPage, int pages, int lastPageLines) {
  std::string body;
  for (int page = 1; page <= pages; ++page) {
    const int lines = page == pages && lastPageLines >= 0 ? lastPageLines : linesPerPage;
    for (int line = 1; line <= lines; ++line) {
      body += line == 2 ? std::string(static_cast<std::size_t>(page - 1), ' ') + "A\r\n" : "  \r\n";
    }
  }
  return body;
}

int ScriptedControls::Copies() const {
  ++copiesReads;
  if (onCopies) onCopies();
  return copies;
}

void ScriptedUi::ShowEscapeNotice() {
  if (calls.empty() || calls.back() != "escape") calls.push_back("escape");
}

void ScriptedUi::ShowResumeDialog(int maxPage) {
  calls.push_back("resume-dialog " + std::to_string(maxPage));
  if (onResumeDialog) onResumeDialog(maxPage);
}

MessageAnswer ScriptedMessages::Show(const std::string& caption, const std::string& text,
                                     MessageIcon, MessageButtons buttons) {
  texts.push_back(caption + ": " + text);
  buttonKinds.push_back(buttons);
  bool yes = true;
  if (buttons != MessageButtons::kOk && !answers.empty()) {
    yes = answers.front();
    answers.pop_front();
  }
  switch (buttons) {
    case MessageButtons::kYesNo:
    case MessageButtons::kYesNoDefaultNo:
      return yes ? MessageAnswer::kYes : MessageAnswer::kNo;
    case MessageButtons::kOkCancel:
      return yes ? MessageAnswer::kOk : MessageAnswer::kCancel;
    case MessageButtons::kOk:
      break;
  }
  return MessageAnswer::kOk;
}

void RunFixture::SetDocument(const std::string& body, int pageCount, int linesPerPage) {
  session.document.path =
      Utf8FromPath(dir.Write("doc.bse", BseHeaderLine(pageCount, linesPerPage) + body));
}

PrintResult RunFixture::Run(ByteSink& sink, bool quiet) {
  return PrintDocument(session.document.path, session.run, controls, ui, messages, sink, quiet);
}

std::string Summary(const std::vector<std::uint8_t>& bytes) {
  static const std::vector<std::uint8_t> kRestart = {0x0D, 0x0A, 0x0C, 0x1B, 0x1B,
                                                     0x47, 0x1B, 0x1B, 0x44, 0x31};
  std::ostringstream out;
  std::vector<int> columns;
  bool other = false;
  std::size_t i = 0;
  const auto starts = [&](const std::vector<std::uint8_t>& piece) {
    return bytes.size() - i >= piece.size() && std::equal(piece.begin(), piece.end(), &bytes[i]);
  };
  while (i < bytes.size()) {
    if (out.tellp() > 0) out << ' ';
    if (starts(kRestart)) {
      out << 'R';
      i += kRestart.size();
    } else if (starts({0x1B, 0x1B, 0x47, 0x1B, 0x1B, 0x44}) && i + 6 < bytes.size()) {
      out << 'S' << static_cast<char>(bytes[i + 6]);
      i += 7;
    } else if (bytes[i] == 0x0D) {
      out << "CR";
      ++i;
    } else if (bytes[i] == 0x0C) {
      if (columns.empty()) {
        out << (other ? "P?" : "P-");
      } else if (columns.size() == 1 && !other) {
        out << 'P' << columns[0] + 1;
      } else if (columns.size() == 2 && columns[0] == columns[1] && !other) {
        out << 'P' << columns[0] + 1 << 'd';  // double strike
      } else {
        out << "P?";
      }
      columns.clear();
      other = false;
      ++i;
    } else if (i + 4 <= bytes.size()) {
      const int x = (bytes[i] - 0x20) * 32 + (bytes[i + 1] - 0x60);
      int column = 0;
      while (static_cast<int>(column * 18.5 + 9) < x) ++column;
      if (static_cast<int>(column * 18.5 + 9) == x) {
        columns.push_back(column);
      } else {
        other = true;
      }
      i += 4;
      continue;  // a page's dots give one token at its form feed
    } else {
      out << "??";
      ++i;
    }
  }
  std::string text = out.str();
  // Dots leave no token of their own; squeeze the blanks they left.
  std::string squeezed;
  for (const char c : text) {
    if (c == ' ' && !squeezed.empty() && squeezed.back() == ' ') continue;
    squeezed += c;
  }
  while (!squeezed.empty() && squeezed.back() == ' ') squeezed.pop_back();
  return squeezed;
}

std::string HexDiff(const std::vector<std::uint8_t>& expected,
                    const std::vector<std::uint8_t>& actual) {
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  std::ostringstream out;
  out << "sizes " << expected.size() << " expected, " << actual.size()
      << " actual; first difference at byte " << at << "\n";
  const std::size_t from = at >= 16 ? at - 16 : 0;
  const auto dump = [&](const char* label, const std::vector<std::uint8_t>& bytes) {
    out << label;
    for (std::size_t k = from; k < std::min(bytes.size(), at + 16); ++k) {
      char hex[4];
      std::snprintf(hex, sizeof hex, k == at ? "[%02X" : " %02X", bytes[k]);
      out << hex << (k == at ? "]" : "");
    }
    out << "\n";
  };
  dump("expected:", expected);
  dump("actual:  ", actual);
  return out.str();
}

}  // namespace redadado::test
