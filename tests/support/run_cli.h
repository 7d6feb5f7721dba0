#pragma once

#include <string>
#include <vector>

namespace redadado::test {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the built redadado-cli with `args` and collects its exit status and output.
CliResult RunCli(const std::vector<std::string>& args);

}  // namespace redadado::test
