#include "workflow/batch_print.h"

#include "document/document_kind.h"
#include "workflow/document_entry.h"

namespace redadado {

namespace {

// Makes the job's file the current document. False
// when a BES job could not be converted (reported): printing would emboss whatever document was
// current before.
bool SetDocument(Session& session, const std::string& file, Messages& messages) {
  if (DocumentKindOf(file) == DocumentKind::kBes) {
    session.besSourcePath = file;
    if (const auto reason = ConvertBesToBse(session)) {
      messages.Report(*reason);
      return false;
    }
    return true;
  }
  session.document.path = file;
  return true;
}

}  // namespace

bool RegisterJob(const Session& session, JobList& jobs, const DocumentControlValues& shown,
                 Messages& messages) {
  if (shown.file.empty()) return false;
  BrailleDocument document;
  switch (DocumentKindOf(shown.file)) {
    case DocumentKind::kOther:
      messages.Report(kNotADocument);
      return false;
    case DocumentKind::kBse:
      document.path = shown.file;
      break;
    case DocumentKind::kBes:
      document = session.document;
      break;
  }
  // Found out now, not in the middle of a batch.
  if (const HeaderCheck check = CheckBseHeader(document); !check.accepted) {
    messages.Report(check.message);
    return false;
  }
  switch (jobs.Register(shown)) {
    case JobList::Registered::kDone:
      return true;
    case JobList::Registered::kFull:
      messages.Report(kJobListFull);
      return false;
    case JobList::Registered::kNoDocument:
      return false;
  }
  return false;
}

BatchOutcome PrintBatch(Session& session, JobList& jobs, BatchWindow& window,
                        PrintControls& controls, PrintUi& ui, Messages& messages,
                        const LinkOpener& openLink) {
  BatchOutcome outcome;
  std::unique_ptr<ByteSink> link = openLink();
  if (!link) return outcome;
  outcome.started = true;

  const int count = jobs.JobCount();
  for (int round = 0; round < count; ++round) {
    const DocumentControlValues job = jobs.FirstJobControls();
    window.LoadDocumentControls(job);
    const PrintResult result = SetDocument(session, job.file, messages)
                                   ? PrintDocument(session.document.path, session.run, controls, ui,
                                                   messages, *link, /*quiet=*/false)
                                   : PrintResult::kRefused;
    outcome.results.push_back(result);
    jobs.RemoveFirstJob();
    // Once the link has failed, or the user gave up output the embosser held back, every
    // further byte would fail the same way: the jobs not attempted stay for a later batch.
    const bool linkDone = link->Failure().kind != LinkFault::kNone;
    if (linkDone) jobs.Renumber();
    window.JobListChanged();
    if (linkDone) break;
  }
  link.reset();
  return outcome;
}

}  // namespace redadado
