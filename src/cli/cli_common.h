#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/session.h"
#include "emboss/print_options.h"

namespace redadado::cli {

// Exit statuses of redadado-cli.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;  // document refused, or a device or file failure
inline constexpr int kUsage = 2;

using Args = std::span<const std::string_view>;

// Prints a message to standard error in the system's own words.
void PrintError(std::string_view message);
// Prints "redadado-cli: <message>" and the usage line, and returns kUsage.
int UsageError(std::string_view message);

// A session on the application directory of the executable (where NEF.ini lives).
Session MakeSession();

// Makes `path` the current document, converting a BES document first, and checks its header.
// On failure prints the system's message and returns std::nullopt.
std::optional<HeaderCheck> OpenDocument(Session& session, const std::string& path);

}  // namespace redadado::cli
