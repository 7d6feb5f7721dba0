#include "jobs/job_list.h"

#include <charconv>

#include "document/bse_header.h"
#include "document/document_kind.h"

namespace redadado {

namespace {

// Column 6 for sideList items -1 (none) to 4.
constexpr std::array<const char*, 6> kSideModeTexts = {
    "片面印刷", "表面のみ", "裏面のみ", "表+裏,両面印刷", "表+裏,片面印刷", "全頁片面印刷",
};

struct DotKindColumns {
  int dotSize;
  int strikes;
  const char* sizeText;     // column 7
  const char* strikesText;  // column 8
};
// By dot kind.
constexpr std::array<DotKindColumns, 4> kDotKinds = {{
    {2, 1, "中", "１"},
    {3, 1, "大", "１"},
    {2, 2, "中", "２"},
    {3, 2, "大", "２"},
}};

const DotKindColumns& ColumnsOf(DotKind kind) {
  return kDotKinds[static_cast<std::size_t>(ItemOf(kind))];
}

bool Contains(const std::string& text, const char* piece) {
  return text.find(piece) != std::string::npos;
}

// A grid cell read back as a number, `fallback` when it is not a whole decimal number.
int CellNumber(const std::string& cell, int fallback) {
  int value = 0;
  const char* end = cell.data() + cell.size();
  const auto [ptr, ec] = std::from_chars(cell.data(), end, value);
  return ec == std::errc() && ptr == end && !cell.empty() ? value : fallback;
}

}  // namespace

const char* SideModeText(SideMode mode) {
  return kSideModeTexts[static_cast<std::size_t>(ItemOf(mode) + 1)];
}

JobOptions DotOptions(DotKind kind) {
  const DotKindColumns& columns = ColumnsOf(kind);
  JobOptions options;
  options.dotSize = columns.dotSize;
  options.strikes = columns.strikes;
  return options;
}

DotKind DotKindOf(int dotSize, int strikes) {
  for (std::size_t i = 0; i < kDotKinds.size(); ++i) {
    if (kDotKinds[i].dotSize == dotSize && kDotKinds[i].strikes == strikes) {
      return DotKindOfItem(static_cast<int>(i));
    }
  }
  return DotKind::kMedium;
}

DocumentControlValues ControlsAfterRegistration(const DocumentControlValues& registered) {
  DocumentControlValues next;
  next.dots = registered.dots;
  return next;
}

JobList::JobList() : rows_(2) {
  for (std::size_t column = 0; column < kJobColumns.size(); ++column) {
    rows_[0][column] = kJobColumns[column].header;
  }
}

JobList::Registered JobList::Register(const DocumentControlValues& controls) {
  if (DocumentKindOf(controls.file) == DocumentKind::kOther) return Registered::kNoDocument;
  if (JobCount() >= kMaxJobs) return Registered::kFull;

  JobOptions options = DotOptions(controls.dots);
  options.linesPerPage = Contains(controls.linesText, "１８") ? 18 : 22;
  options.sideMode = controls.side;
  const DotKindColumns& kind = ColumnsOf(controls.dots);

  const int r = JobCount() + 1;
  Row& row = rows_[static_cast<std::size_t>(r)];
  row = {std::to_string(r),
         controls.file,
         std::to_string(controls.copies),
         std::to_string(controls.startPage),
         std::to_string(controls.lastPage),
         std::to_string(options.linesPerPage),
         SideModeText(options.sideMode),
         kind.sizeText,
         kind.strikesText};
  rows_.emplace_back();
  options_.push_back(options);
  return Registered::kDone;
}

bool JobList::Delete(int selectionTop) {
  const int count = JobCount();
  if (selectionTop < 1 || selectionTop > count) return false;
  for (int i = selectionTop; i < count; ++i) {
    Row& row = rows_[static_cast<std::size_t>(i)];
    const Row& next = rows_[static_cast<std::size_t>(i + 1)];
    for (std::size_t column = 1; column < row.size(); ++column) row[column] = next[column];
    options_[static_cast<std::size_t>(i - 1)] = options_[static_cast<std::size_t>(i)];
  }
  rows_[static_cast<std::size_t>(count)] = Row{};
  rows_.pop_back();
  options_.pop_back();
  return true;
}

DocumentControlValues JobList::FirstJobControls() const {
  DocumentControlValues controls;
  if (JobCount() == 0) return controls;
  const Row& row = rows_[1];
  const JobOptions& options = options_.front();
  controls.file = row[1];
  controls.copies = CellNumber(row[2], 1);
  controls.startPage = CellNumber(row[3], 1);
  controls.lastPage = CellNumber(row[4], 999);
  controls.linesText = options.linesPerPage == 18 ? kLines18Text : kLines22Text;
  controls.side = options.sideMode;
  controls.dots = DotKindOf(options.dotSize, options.strikes);
  return controls;
}

void JobList::RemoveFirstJob() {
  if (JobCount() == 0) return;
  rows_.erase(rows_.begin() + 1);
  options_.erase(options_.begin());
}

void JobList::Renumber() {
  for (int k = 1; k <= JobCount(); ++k) rows_[static_cast<std::size_t>(k)][0] = std::to_string(k);
}

}  // namespace redadado
