#include <iostream>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/program_entry.h"

namespace {

constexpr const char* kHelp =
    R"(redadado-cli: large-braille embossing without the windows

  redadado-cli info DOCUMENT                 lines per page, page count
  redadado-cli convert SOURCE.bes TARGET.bse BES import into a BSE file
  redadado-cli print DOCUMENT [options]      emboss; DOCUMENT may be BSE or BES
      --copies N      number of copies (default 1)
      --pages A-B     page range (default 1 to the header's page count)
      --side MODE     none|front|back|both|both-in-order|single or -1..4
                      (default: both for 18 lines, none for 22)
      --dots KIND     medium|large|medium-double|large-double or 0..3 (default medium)
      --back yes|no   answer to the back-side question (default yes)
      --port NAME     COM1..COM9 or a device path; line parameters from NEF.ini
      --output FILE   write the byte stream to FILE
      --pictures DIR  virtual embosser: one PNG per embossed sheet side in DIR
                      (with no --port/--output/--pictures, pictures go to ./embossed)
  redadado-cli read DOCUMENT [--page N] [--dots]
                  the kana reading, one line per drawn row; a cell without a reading
                  shows its braille pattern; --dots shows every cell as its pattern;
                  without --page every page, each after a line "ページ N"
)"
#ifdef REDADADO_EMBOSS_SIM
    R"(  redadado-cli emboss-sim [--link PATH] [--pictures DIR] [--baud N] [--sessions N]
                  a virtual embosser on a pseudo-terminal linked at PATH (default: the
                  application directory's COM1), paced by Xon/Xoff at N baud (default: the
                  settings'); one PNG per sheet side in DIR (default ./embossed) and a summary
                  per connection; runs until Ctrl+C or N connections
)"
#endif
    R"(
Exit status: 0 done, 1 document refused or a device/file failure, 2 wrong usage.
)";

struct Command {
  std::string_view name;
  int (*run)(redadado::cli::Args);
};

constexpr Command kCommands[] = {
    {"info", redadado::cli::RunInfo},
    {"convert", redadado::cli::RunConvert},
#ifdef REDADADO_EMBOSS_SIM
    {"emboss-sim", redadado::cli::RunEmbossSim},
#endif
    {"read", redadado::cli::RunRead},
    {"print", redadado::cli::RunPrint},
};

}  // namespace

int main(int argc, char** argv) {
  redadado::cli::PrepareStandardStreams();
  const std::vector<std::string> utf8 = redadado::cli::Utf8Arguments(argc, argv);
  const std::vector<std::string_view> args(utf8.begin(), utf8.end());
  if (args.empty()) return redadado::cli::UsageError("no command given");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << kHelp;
    return redadado::cli::kDone;
  }
  for (const Command& command : kCommands) {
    if (args[0] == command.name) {
      return command.run(redadado::cli::Args(args).subspan(1));
    }
  }
  return redadado::cli::UsageError("unknown command: " + std::string(args[0]));
}
