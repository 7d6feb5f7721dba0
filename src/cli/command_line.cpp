#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>

#include "base/system_reason.h"
#include "cli/commands.h"

namespace redadado::cli {
namespace {

constexpr const char* kToolName = "redadado-cli";

// Every usage error reads the same: what is wrong, the command's usage, where its help is.
int ReportUsage(const CLI::App& app, const CLI::Formatter& formatter, const CLI::Error& error,
                const std::string& firstArgument) {
  const std::vector<CLI::App*> chosen = app.get_subcommands();
  const CLI::App& command = chosen.empty() ? app : *chosen.front();
  const std::string name =
      chosen.empty() ? std::string(kToolName) : std::string(kToolName) + " " + command.get_name();
  const std::string what = chosen.empty() && !firstArgument.empty() && firstArgument[0] != '-'
                               ? "unknown command: " + firstArgument
                               : error.what();
  std::cerr << name << ": " << what << '\n'
            << formatter.make_usage(&command, name) << "(" << name << " --help)\n";
  return kUsage;
}

// What a command wrote to standard output reaches it whole, or the run fails: a full disk or a
// closed output is no success.
int FinishStandardOutput(int status) {
  std::cout.flush();
  const bool written = std::cout.good() && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  const int error = errno;
  if (written && std::fclose(stdout) == 0) return status;
  PrintRefusal("標準出力に書き込めませんでした。", ErrnoReasonText(written ? errno : error));
  return status == kDone ? kRefused : status;
}

struct Command {
  const char* name;
  const char* description;
  Runner (*declare)(CLI::App& command);
};

// Only the commands this platform builds.
constexpr Command kCommands[] = {
    {"info", "lines per page and page count (a BES: of its conversion)", DeclareInfo},
    {"convert", "BES import into a BSE file", DeclareConvert},
    {"print", "emboss; DOCUMENT may be BSE or BES", DeclarePrint},
    {"read", "the kana reading of the pages as text", DeclareRead},
#ifdef REDADADO_EMBOSS_SIM
    {"emboss-sim", "a virtual embosser on a pseudo-terminal, paced with Xon/Xoff",
     DeclareEmbossSim},
#endif
#ifdef REDADADO_PICTURES
    {"view", "the page view's picture of one page, as the window draws it", DeclareView},
    {"overview", "the page overview's picture of all pages, as the window draws it",
     DeclareOverview},
#endif
};

}  // namespace

int RunCommandLine(std::vector<std::string> args) {
  CLI::App app("redadado-cli: large-braille embossing without the windows", kToolName);
  app.require_subcommand(1);
  // CLI11 takes /NAME for an option on Windows, which would swallow absolute paths such as
  // /tmp/a.bse (Wine) or /c/doc.bse; the options are --name on every system. Subcommands inherit
  // it.
  app.allow_windows_style_options(false);
  auto formatter = std::make_shared<CLI::Formatter>();
  formatter->label("Subcommands", "Commands");
  formatter->label("SUBCOMMAND", "COMMAND");
  app.formatter(formatter);
  app.footer(
      "Each command's options: redadado-cli COMMAND --help\n"
      "Exit status: 0 done, 1 document refused or a device/file failure, 2 wrong usage.");
  std::vector<std::pair<CLI::App*, Runner>> commands;
  for (const Command& command : kCommands) {
    CLI::App* declared = app.add_subcommand(command.name, command.description);
    commands.emplace_back(declared, command.declare(*declared));
  }

  const std::string first = args.empty() ? std::string() : args.front();
  // CLI11 takes the arguments last first.
  std::reverse(args.begin(), args.end());
  try {
    app.parse(args);
    for (const auto& [command, run] : commands) {
      if (!command->parsed()) continue;
      const int status = FinishStandardOutput(run());
      return StopSignal() != 0 ? 128 + StopSignal() : status;
    }
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return kDone;
  } catch (const CLI::ParseError& error) {
    return ReportUsage(app, *formatter, error, first);
  }
  return kUsage;  // require_subcommand(1) leaves no way here
}

}  // namespace redadado::cli
