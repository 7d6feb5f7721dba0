#include "workflow/document_entry.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace redadado {

namespace {

// Shows what the header said, or its refusal. True when it was accepted.
bool CheckHeader(Session& session, DocumentControls& controls, Messages& messages) {
  const HeaderCheck check = CheckBseHeader(session.document);
  if (!check.accepted) {
    messages.Report(check.message);
    return false;
  }
  controls.ShowHeader(check);
  return true;
}

bool CanOpen(const std::string& path) {
  std::FILE* file = OpenDocumentFile(path);
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

// Converts the BES source into the temporary BSE file. On failure the reason is shown and the
// previous document stays current.
bool Convert(Session& session, Messages& messages) {
  if (const std::optional<std::string> reason = ConvertBesToBse(session)) {
    messages.Report(*reason);
    return false;
  }
  return true;
}

std::unique_ptr<SerialLink> OpenLink(const Session& session, PrintSeams& seams) {
  return OpenSerialLink(session.settings, session.paths, seams.messages, seams.whileHeld);
}

// The direct print of a BSE file, from the open test to the closed port.
void DirectPrintBse(Session& session, const std::string& path, PrintSeams& seams) {
  if (!CanOpen(path)) {
    seams.messages.Report(kCannotOpenBse);
    return;
  }
  session.document.path = path;
  seams.controls.ShowFile(path);
  const std::unique_ptr<SerialLink> link = OpenLink(session, seams);
  if (!link) return;
  // A refused header is reported once; the run would only refuse it again.
  if (!CheckHeader(session, seams.controls, seams.messages)) return;
  PrintDocument(session.document.path, session.run, seams.controls, seams.ui, seams.messages, *link,
                /*quiet=*/false);
}

// The direct print of a BES file: the source becomes current only once the print is confirmed,
// and its temporary BSE file is gone afterwards.
void DirectPrintBes(Session& session, const std::string& path, PrintSeams& seams) {
  if (!CanOpen(path)) {
    seams.messages.Report(kCannotOpenBes);
    return;
  }
  const std::unique_ptr<SerialLink> link = OpenLink(session, seams);
  if (!link) return;
  session.besSourcePath = path;
  // Nothing is deleted unless the conversion wrote the temporary file: the current document
  // may otherwise still be one of the user's own, and stays the one shown.
  if (!Convert(session, seams.messages)) return;
  seams.controls.ShowFile(path);
  if (CheckHeader(session, seams.controls, seams.messages)) {
    PrintDocument(session.document.path, session.run, seams.controls, seams.ui, seams.messages,
                  *link, /*quiet=*/false);
  }
  std::error_code ignored;
  std::filesystem::remove(session.paths.TemporaryBse(), ignored);
}

}  // namespace

bool SelectBseDocument(Session& session, FileChooser& chooser, DocumentControls& controls,
                       Messages& messages) {
  const std::optional<std::string> path = chooser.ChooseFile(kBseDialogTitle, kBseDialogFilter);
  if (!path) return false;
  controls.ShowFile(*path);
  session.document.path = *path;
  CheckHeader(session, controls, messages);
  return true;
}

bool SelectBesDocument(Session& session, FileChooser& chooser, DocumentControls& controls,
                       Messages& messages) {
  const std::optional<std::string> path = chooser.ChooseFile(kBesDialogTitle, kBesDialogFilter);
  if (!path) return false;
  session.besSourcePath = *path;
  // On failure the previous document is still the one that prints, and stays the one shown.
  if (!Convert(session, messages)) return true;
  controls.ShowFile(*path);
  CheckHeader(session, controls, messages);
  return true;
}

void DirectPrint(Session& session, const std::string& path, PrintSeams& seams) {
  switch (DocumentKindOf(path)) {
    case DocumentKind::kBse:
      DirectPrintBse(session, path, seams);
      break;
    case DocumentKind::kBes:
      DirectPrintBes(session, path, seams);
      break;
    case DocumentKind::kOther:
      seams.messages.Report(kNotADocument);
      break;
  }
  seams.controls.ResetLastPage();
}

void PrintCurrentDocument(Session& session, PrintSeams& seams) {
  const std::unique_ptr<SerialLink> link = OpenLink(session, seams);
  if (!link) return;
  PrintDocument(session.document.path, session.run, seams.controls, seams.ui, seams.messages, *link,
                /*quiet=*/false);
}

}  // namespace redadado
