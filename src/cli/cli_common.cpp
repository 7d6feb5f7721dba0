#include "cli/cli_common.h"

#include <iostream>

#include "base/file_paths.h"
#include "base/output_file.h"
#include "document/bes_import.h"
#include "document/document_kind.h"

namespace redadado::cli {
CLI::Validator ParsedNumber(std::function<std::optional<int>(std::string_view)> parse,
                            std::string expected) {
  return CLI::Validator(
      [parse = std::move(parse), expected = std::move(expected)](std::string& text) {
        const std::optional<int> value = parse(text);
        if (!value) return "takes " + expected + ", not " + text;
        text = std::to_string(*value);
        return std::string();
      },
      "");
}

namespace {

std::string Range(int min, int max) {
  return "a number from " + std::to_string(min) + " to " + std::to_string(max);
}

CLI::Validator RangeValidator(int min, int max) {
  return ParsedNumber([min, max](std::string_view text) { return ParseNumber(text, min, max); },
                      Range(min, max));
}

}  // namespace

void ThrowUsage(const std::string& message) {
  throw CLI::ValidationError(message);
}

void PrintError(std::string_view message) {
  std::cerr << message << '\n';
}

CLI::Option* AddNumberOption(CLI::App& app, const std::string& name, int& value, int min, int max,
                             const std::string& description) {
  return app.add_option(name, value, description)
      ->transform(RangeValidator(min, max))
      ->type_name("N");
}

CLI::Option* AddNumberOption(CLI::App& app, const std::string& name, std::optional<int>& value,
                             int min, int max, const std::string& description) {
  return app.add_option(name, value, description)
      ->transform(RangeValidator(min, max))
      ->type_name("N");
}

Session MakeSession() {
  Session session(AppPaths::ForExecutable());
  session.LoadSettings();
  return session;
}

void PrintRefusal(const std::string& sentence, const std::string& detail) {
  PrintError(detail.empty() ? sentence : sentence + "\n" + detail);
}

std::optional<HeaderCheck> OpenDocument(Session& session, const std::string& path) {
  if (DocumentKindOf(path) == DocumentKind::kBes) {
    // Private to this run: two conversions at once never share a file, and none is left behind.
    static const PrivateFile converted(".bse");
    if (converted.Path().empty()) {
      PrintError(kCannotCreateBse);
      return std::nullopt;
    }
    const BesConversion how{.cancelled = [] { return StopSignal() != 0; }, .accept = {}};
    if (const auto reason =
            ConvertBesToBse(path, Utf8FromPath(converted.Path()), session.document, how)) {
      PrintError(*reason);
      return std::nullopt;
    }
  } else {
    session.document.path = path;
  }
  HeaderCheck check = CheckBseHeader(session.document);
  if (!check.accepted) {
    PrintRefusal(check.message, check.openFailure);
    return std::nullopt;
  }
  return check;
}

}  // namespace redadado::cli
