#pragma once

#include <string>
#include <vector>

namespace redadado::cli {

// The command-line arguments after the program name, as UTF-8 whatever the system's code page
// (Windows hands narrow arguments over in its ANSI code page, which cannot carry every name).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard output and error carry the same bytes on every system (no LF to CR LF on Windows),
// and a Windows console shows the UTF-8 messages as text.
void PrepareStandardStreams();

// Ctrl+C and SIGTERM only mark the run as stopped: the long steps (a conversion, a print, a
// held port) look at the mark and end, so that temporary files go and the port is left as it
// was found.
void CatchStopSignals();

}  // namespace redadado::cli
