#pragma once

#include <optional>
#include <string>

#include "base/app_paths.h"
#include "base/settings_store.h"
#include "document/bse_header.h"
#include "emboss/run_state.h"

namespace redadado {

// Everything the windows share for one run of the application. The program entry owns it and
// hands it to every window; each test builds a fresh one.
struct Session {
  explicit Session(AppPaths appPaths) : paths(std::move(appPaths)) {}

  AppPaths paths;
  Settings settings;
  BrailleDocument document;   // the current document and what its header said
  std::string besSourcePath;  // the BES document to convert
  RunState run;               // the print run in progress
  int selectedPage = 0;       // 0-based page the page view opens on

  void LoadSettings() { settings = redadado::LoadSettings(paths.SettingsFile()); }
  std::optional<std::string> SaveSettings() const {
    return redadado::SaveSettings(settings, paths.SettingsFile());
  }
};

// Converts `session.besSourcePath` into the temporary BSE file of the application directory,
// which becomes the current document. Returns the reason when nothing could be written.
std::optional<std::string> ConvertBesToBse(Session& session);

}  // namespace redadado
