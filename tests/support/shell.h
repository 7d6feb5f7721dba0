#pragma once

#include <string>

namespace redadado::test {

// `text` as one word of a POSIX shell command line.
std::string Quote(const std::string& text);

struct Shell {
  int status = -1;
  std::string out;  // standard output and error
};

// Runs a shell command line with nothing on its standard input and collects what it says.
Shell Sh(const std::string& command);

}  // namespace redadado::test
