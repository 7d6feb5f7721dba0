#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emboss/print_options.h"
#include "workflow/session.h"

namespace redadado::cli {

// Exit statuses of redadado-cli.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;  // document refused, or a device or file failure
inline constexpr int kUsage = 2;

// The stop signal that came (SIGINT, SIGTERM), 0 while none did. A run that was stopped ends
// with 128 + the signal's number.
int StopSignal();

// Runs the tool on its arguments (without the program name, UTF-8) and returns the exit status.
int RunCommandLine(std::vector<std::string> args);

// Runs a command once its options are parsed; returns the exit status.
using Runner = std::function<int()>;

// Wrong usage that only shows after parsing (a page the document does not have): reported
// like every parse error of the command line.
[[noreturn]] void ThrowUsage(const std::string& message);

// Prints a message to standard error in the system's own words.
void PrintError(std::string_view message);

// --name N: a whole decimal number within [min, max] (CLI11 alone would also read octal and
// hex).
CLI::Option* AddNumberOption(CLI::App& app, const std::string& name, int& value, int min, int max,
                             const std::string& description);
CLI::Option* AddNumberOption(CLI::App& app, const std::string& name, std::optional<int>& value,
                             int min, int max, const std::string& description);

// Checks an option's text with `parse` and leaves its decimal value for CLI11 to store;
// `expected` says what the option takes.
CLI::Validator ParsedNumber(std::function<std::optional<int>(std::string_view)> parse,
                            std::string expected);

// The same for a list choice (side mode, dot kind): its name or item number.
template <typename Choice>
CLI::Validator ParsedChoice(std::optional<Choice> (*parse)(std::string_view),
                            std::string expected) {
  return ParsedNumber(
      [parse](std::string_view text) -> std::optional<int> {
        const std::optional<Choice> choice = parse(text);
        if (!choice) return std::nullopt;
        return ItemOf(*choice);
      },
      std::move(expected));
}

// A session on the application directory of the executable (where NEF.ini lives).
Session MakeSession();

// Prints a refusal: the system's sentence, and on the next line the path and the reason when
// there is one.
void PrintRefusal(const std::string& sentence, const std::string& detail);

// Makes `path` the current document, converting a BES document first (into a private temporary
// file that goes when the tool ends), and checks its header. On failure prints the system's
// message and returns std::nullopt.
std::optional<HeaderCheck> OpenDocument(Session& session, const std::string& path);

}  // namespace redadado::cli
