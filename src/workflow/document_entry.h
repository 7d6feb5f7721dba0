#pragma once

#include <string>

#include "base/file_chooser.h"
#include "base/messages.h"
#include "document/bse_header.h"
#include "document/document_kind.h"
#include "emboss/print_run.h"
#include "emboss/print_seams.h"
#include "emboss/serial_link.h"
#include "workflow/session.h"

namespace redadado {

// How a document comes in: chosen with a selection button (and only selected), or given on the
// command line or dropped on the main window (and printed at once).

inline constexpr const char* kBseDialogTitle = "ＢＳＥファイルの選択";
inline constexpr const char* kBseDialogFilter = "ＢＳＥファイル (*.bse)|*.BSE";
inline constexpr const char* kBesDialogTitle = "ＢＥＳファイルの選択";
inline constexpr const char* kBesDialogFilter = "ＢＥＳファイル (*.bes)|*.BES";
inline constexpr const char* kNotADocument = "ＮＥＦで扱えるファイルではありません。";
inline constexpr const char* kCannotOpenBse = "ＢＳＥファイルがオープンできませんでした。";
inline constexpr const char* kCannotOpenBes = "ＢＥＳファイルがオープンできませんでした。";

// The main window's document controls: the parameter block of every print, and what a chosen
// document fills in.
class DocumentControls : public PrintControls {
 public:
  virtual void ShowFile(const std::string& path) = 0;  // fileEdit
  // linesEdit, sideLabel, sideList, and lastPageUpDown's maximum and position, from an accepted
  // header.
  virtual void ShowHeader(const HeaderCheck& check) = 0;
  virtual void ResetLastPage() = 0;  // lastPageUpDown maximum 999, position 999
};

// What a print from the main window drives.
struct PrintSeams {
  DocumentControls& controls;
  PrintUi& ui;
  Messages& messages;
  HoldHandler whileHeld;  // runs while the embosser holds output back
};

// The selection buttons: the chosen document becomes the current one and its header fills the
// controls. Nothing is printed. False when the user cancelled the dialog.
bool SelectBseDocument(Session& session, FileChooser& chooser, DocumentControls& controls,
                       Messages& messages);
bool SelectBesDocument(Session& session, FileChooser& chooser, DocumentControls& controls,
                       Messages& messages);

// A document given on the command line or dropped on the main window: checked, confirmed,
// converted when it is BES, and printed at once with the print windows.
void DirectPrint(Session& session, const std::string& path, PrintSeams& seams);

// The print button: confirmation, the port, the current document.
void PrintCurrentDocument(Session& session, PrintSeams& seams);

}  // namespace redadado
