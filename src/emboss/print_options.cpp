#include "emboss/print_options.h"

#include <charconv>
#include <initializer_list>

namespace redadado {

namespace {

// A named choice or its item number; the names stand for first, first + 1, ...
template <typename Choice>
std::optional<Choice> ParseChoice(std::string_view text,
                                  std::initializer_list<std::string_view> names, Choice first) {
  int item = ItemOf(first);
  for (const std::string_view name : names) {
    if (text == name) return static_cast<Choice>(item);
    ++item;
  }
  const std::optional<int> number = ParseNumber(text, ItemOf(first), item - 1);
  if (!number) return std::nullopt;
  return static_cast<Choice>(*number);
}

}  // namespace

std::optional<int> ParseNumber(std::string_view text, int min, int max) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < min || value > max) return std::nullopt;
  return value;
}

std::optional<SideMode> ParseSideMode(std::string_view text) {
  return ParseChoice(text, {"none", "front", "back", "both", "both-in-order", "single"},
                     SideMode::kNone);
}

std::optional<DotKind> ParseDotKind(std::string_view text) {
  return ParseChoice(text, {"medium", "large", "medium-double", "large-double"}, DotKind::kMedium);
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
  if (!first || !last || *first > *last) return std::nullopt;
  return std::pair{*first, *last};
}

}  // namespace redadado
