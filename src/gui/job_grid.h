#pragma once

#include <QTableWidget>

#include "jobs/job_list.h"

namespace redadado {

// The job grid of the main window: the header, the columns sized to what they hold with the
// file column taking the rest of the width (so no scroll bar runs across), and each file's name
// shown whole, its folder elided in the middle, the full path as tooltip and description.
void SetUpJobGrid(QTableWidget* grid);

// The job grid's table: a row per job and nothing more, so that a screen reader counts the
// jobs; the blank row the list keeps under them is only drawn.
class JobGrid : public QTableWidget {
 public:
  explicit JobGrid(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Shows the list's jobs (its blank bottom row is drawn by the grid, not held in it).
void ShowJobs(QTableWidget* grid, const JobList& jobs);

// Makes the job in grid row `row` (from 0; the last one when past the end, none in an empty
// grid) the current one, scrolls it into view and tells a screen reader, even when the row is
// the same but now holds another job.
void SelectJob(QTableWidget* grid, int row);

}  // namespace redadado
