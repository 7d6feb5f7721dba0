#pragma once

#include <array>
#include <string>
#include <vector>

#include "document/print_choices.h"

namespace redadado {

inline constexpr const char* kJobListFull =
    "登録できるジョブは１００件までです。印刷するか取り消してから登録してください。";

// The main window's document controls as plain values: what a registration takes from them and
// what a batch loads back into them.
struct DocumentControlValues {
  std::string file;       // fileEdit
  int copies = 1;         // copiesUpDown position
  int startPage = 1;      // startPageUpDown position
  int lastPage = 999;     // lastPageUpDown position (its maximum raised to 999 when loaded)
  std::string linesText;  // linesEdit
  SideMode side = SideMode::kNone;  // sideList
  DotKind dots = DotKind::kMedium;  // dotKindList
};

// The four options a job keeps beside its grid row; a batch reads these, never the texts.
struct JobOptions {
  int linesPerPage = 18;                // 18 or 22
  SideMode sideMode = SideMode::kNone;  // sideList at registration
  int dotSize = 2;                      // 3 large, 2 medium
  int strikes = 1;                      // 2 double strike, 1 single
};

struct JobColumn {
  const char* header;
};

inline constexpr int kJobColumnCount = 9;
inline constexpr std::array<JobColumn, kJobColumnCount> kJobColumns = {{
    {"Ｎｏ．"},
    {"ファイル"},
    {"部数"},
    {"P.～"},
    {"～P."},
    {"行数"},
    {"印刷面"},
    {"点種"},
    {"打数"},
}};

// Column 6 for a side mode.
const char* SideModeText(SideMode mode);
// The dot size code and strike count a dot kind stands for.
JobOptions DotOptions(DotKind kind);
// The dot kind of a (dot size code, strike count) pair; medium for a pair of no kind.
DotKind DotKindOf(int dotSize, int strikes);

// The controls after a registration: emptied for the next choice, the dot kind kept.
DocumentControlValues ControlsAfterRegistration(const DocumentControlValues& registered);

// The job grid and its option tables, changed together. Row 0 is the header, rows 1..JobCount()
// the jobs in order, and one blank row stays at the bottom.
class JobList {
 public:
  static constexpr int kMaxJobs = 100;
  using Row = std::array<std::string, kJobColumnCount>;

  enum class Registered { kDone, kNoDocument, kFull };

  JobList();

  int JobCount() const { return static_cast<int>(options_.size()); }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const Row& RowAt(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
  // The options of the job in grid row `row` (1..JobCount()).
  const JobOptions& OptionsOf(int row) const {
    return options_.at(static_cast<std::size_t>(row - 1));
  }

  // Appends a job from the controls. kNoDocument (fileEdit names no BSE or BES file) and kFull
  // (already kMaxJobs jobs) change nothing; the caller reports them.
  Registered Register(const DocumentControlValues& controls);
  // Deletes the job in the selection's top row; the numbers in column 0 stay 1, 2, 3, ...
  // False, with nothing changed, when that row is no job row (the blank bottom row).
  bool Delete(int selectionTop);

  // What a batch loads into the controls for the first job.
  DocumentControlValues FirstJobControls() const;
  // The batch's removal of the first job: every row moves up whole, column 0 included, so the
  // remaining jobs keep their numbers while the batch runs.
  void RemoveFirstJob();
  // Column 0 of row k reads k again (after a batch that ended early).
  void Renumber();

 private:
  std::vector<Row> rows_;
  std::vector<JobOptions> options_;
};

}  // namespace redadado
