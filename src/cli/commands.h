#pragma once

#include "cli/cli_common.h"

namespace redadado::cli {

// Each takes the arguments after the command name and returns the exit status.
int RunInfo(Args args);
int RunConvert(Args args);
int RunRead(Args args);
int RunPrint(Args args);
int RunEmbossSim(Args args);

}  // namespace redadado::cli
