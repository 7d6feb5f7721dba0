#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/messages.h"
#include "emboss/print_run.h"
#include "emboss/print_seams.h"
#include "jobs/job_list.h"
#include "workflow/session.h"

namespace redadado {

// The main window as a batch drives it.
class BatchWindow {
 public:
  virtual ~BatchWindow() = default;
  // Puts a job's values into fileEdit, copiesUpDown, startPageUpDown, lastPageUpDown, linesEdit,
  // sideList and dotKindList, raising the maxima of startPageUpDown and lastPageUpDown to 999 first
  // so that the stored pages are not cut down by the page count of a document checked earlier.
  virtual void LoadDocumentControls(const DocumentControlValues& controls) = 0;
  // The list lost its first job.
  virtual void JobListChanged() = 0;
};

struct BatchOutcome {
  bool started = false;              // the user agreed and the port opened
  std::vector<PrintResult> results;  // one per job attempted, in list order
};

// The register button: the document and options shown join the list. Refused with a message
// when the name is no document's, when its header is one the embosser cannot take (the words a
// direct print would show) or when the list is full; an empty field registers nothing. A BES
// name is the one the current document was converted from. True when registered.
bool RegisterJob(const Session& session, JobList& jobs, const DocumentControlValues& shown,
                 Messages& messages);

// Opens the embosser's port after the confirmation; nullptr when declined or reported.
using LinkOpener = std::function<std::unique_ptr<ByteSink>()>;

// Prints every job of the list over one connection: each job in turn is loaded into the
// document controls, made the current document (a BES job converted just before its print),
// printed with the windows, and removed whatever happened. A refused document or a job the user
// stopped goes on with the next job. Only a link that failed (or whose held output the user gave
// up) ends the batch early: the jobs not yet attempted stay in the list, numbered from 1 again.
// The port is closed before returning.
BatchOutcome PrintBatch(Session& session, JobList& jobs, BatchWindow& window,
                        PrintControls& controls, PrintUi& ui, Messages& messages,
                        const LinkOpener& openLink);

}  // namespace redadado
