#include "cli/cli_common.h"
#include "cli/program_entry.h"

int main(int argc, char** argv) {
  redadado::cli::PrepareStandardStreams();
  redadado::cli::CatchStopSignals();
  return redadado::cli::RunCommandLine(redadado::cli::Utf8Arguments(argc, argv));
}
