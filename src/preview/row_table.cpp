#include "preview/row_table.h"

#include <algorithm>

#include "document/bse_header.h"

namespace redadado {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

}  // namespace

int RowCellCount(const RowTable::Row& row) {
  // The last byte is always the terminator; a row without one still ends there.
  const auto end = std::find_if(row.begin(), row.end() - 1,
                                [](std::uint8_t byte) { return byte == '\n' || byte == 0; });
  return static_cast<int>(end - row.begin());
}

int FirstDrawnRow(int linesPerPage, int pageNumber) {
  const bool doubleSided = linesPerPage == 18 || linesPerPage == 19;
  return doubleSided && pageNumber % 2 == 0 ? 1 : 0;
}

std::optional<PageRowReader> PageRowReader::Open(const std::string& path, int linesPerPage) {
  std::FILE* file = OpenDocumentFile(path);
  if (file == nullptr) return std::nullopt;
  PageRowReader reader(file, linesPerPage);
  // The header is the first line, up to and including its LF.
  for (int byte = reader.Get(); byte != EOF && byte != '\n'; byte = reader.Get()) {
  }
  return reader;
}

PageRowReader::PageRowReader(std::FILE* file, int linesPerPage)
    : file_(file), linesPerPage_(linesPerPage) {}

int PageRowReader::Get() {
  // Binary reading with CR dropped: the same rows on every platform.
  for (;;) {
    if (position_ == buffer_.size()) {
      if (ended_) return EOF;
      buffer_.resize(kReadChunk);
      buffer_.resize(std::fread(buffer_.data(), 1, kReadChunk, file_.get()));
      position_ = 0;
      if (buffer_.empty()) {
        ended_ = true;
        return EOF;
      }
    }
    const std::uint8_t byte = buffer_[position_++];
    if (byte != '\r') return byte;
  }
}

void PageRowReader::ReadPage(RowTable* table) {
  for (int row = 0; row < linesPerPage_; ++row) {
    // A line begins only where the body has another byte: a body that ends with its LF has
    // no empty line after it.
    int byte = Get();
    if (byte == EOF) return;
    RowTable::Row* target = table != nullptr && row < kRowTableRows ? &table->rows[row] : nullptr;
    std::size_t length = 0;
    const auto keep = [&](std::uint8_t value) {
      if (target != nullptr && length < kRowBytes - 1) (*target)[length++] = value;
    };
    for (;;) {
      if (byte == EOF) {
        keep(kEndMarker);
        return;
      }
      keep(static_cast<std::uint8_t>(byte));
      if (byte == '\n') break;
      byte = Get();
    }
  }
}

RowTable PageRowReader::NextPage() {
  RowTable table;
  ReadPage(&table);
  return table;
}

void PageRowReader::SkipPage() {
  ReadPage(nullptr);
}

std::optional<RowTable> ReadPageRows(const std::string& path, int linesPerPage, int pageNumber) {
  std::optional<PageRowReader> reader = PageRowReader::Open(path, linesPerPage);
  if (!reader) return std::nullopt;
  for (int page = 1; page < pageNumber && !reader->AtEnd(); ++page) reader->SkipPage();
  if (pageNumber < 1) return RowTable{};
  return reader->NextPage();
}

}  // namespace redadado
