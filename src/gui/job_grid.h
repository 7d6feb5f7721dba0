#pragma once

#include <QTableWidget>

#include "jobs/job_list.h"

namespace redadado {

// The job grid of the main window: the header, the columns sized to what they hold with the
// file column taking the rest of the width (so no scroll bar runs across), and each file's name
// shown whole, its folder elided in the middle, the full path as tooltip and description.
void SetUpJobGrid(QTableWidget* grid);

// Shows the list's jobs and its blank bottom row.
void ShowJobs(QTableWidget* grid, const JobList& jobs);

// Selects the job in grid row `row` (from 0) and scrolls it into view.
void SelectJob(QTableWidget* grid, int row);

}  // namespace redadado
