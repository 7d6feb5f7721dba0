#include "emboss/print_options.h"

#include <charconv>
#include <initializer_list>

namespace redadado {

namespace {

// A named choice or its item number; the names stand for first, first + 1, ...
std::optional<int> ParseChoice(std::string_view text, std::initializer_list<std::string_view> names,
                               int first) {
  int index = first;
  for (const std::string_view name : names) {
    if (text == name) return index;
    ++index;
  }
  return ParseNumber(text, first, index - 1);
}

}  // namespace

std::optional<int> ParseNumber(std::string_view text, int min, int max) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < min || value > max) return std::nullopt;
  return value;
}

std::optional<int> ParseSideChoice(std::string_view text) {
  return ParseChoice(text, {"none", "front", "back", "both", "both-in-order", "single"}, -1);
}

std::optional<int> ParseDotKind(std::string_view text) {
  return ParseChoice(text, {"medium", "large", "medium-double", "large-double"}, 0);
}

std::optional<std::pair<int, int>> ParsePageRange(std::string_view text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) {
    const auto page = ParseNumber(text, 1, 999);
    if (!page) return std::nullopt;
    return std::pair{*page, *page};
  }
  const auto first = ParseNumber(text.substr(0, dash), 1, 999);
  const auto last = ParseNumber(text.substr(dash + 1), 1, 999);
  if (!first || !last) return std::nullopt;
  return std::pair{*first, *last};
}

}  // namespace redadado
