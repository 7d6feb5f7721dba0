#include "support/run_cli.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "support/temp_dir.h"

namespace redadado::test {
namespace {

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args) {
  TempDir dir;
  std::string command = Quote(REDADADO_CLI_PATH);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " >" + Quote((dir / "out").string()) + " 2>" + Quote((dir / "err").string()) +
             " </dev/null";
  CliResult result;
  const int raw = std::system(command.c_str());
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFile(dir / "out");
  result.err = ReadFile(dir / "err");
  return result;
}

}  // namespace redadado::test
