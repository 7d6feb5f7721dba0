#pragma once

#include "cli/cli_common.h"

namespace redadado::cli {

// Each declares the options and arguments of its command on `command` and returns what runs
// the command once the command line has been parsed.
Runner DeclareInfo(CLI::App& command);
Runner DeclareConvert(CLI::App& command);
Runner DeclareRead(CLI::App& command);
Runner DeclarePrint(CLI::App& command);
Runner DeclareEmbossSim(CLI::App& command);
Runner DeclareView(CLI::App& command);
Runner DeclareOverview(CLI::App& command);

}  // namespace redadado::cli
