#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "document/bse_header.h"
#include "document/print_choices.h"
#include "emboss/print_seams.h"

namespace redadado {

// The print options of one document as the command-line tool and the print queue take them.
struct PrintOptions {
  int copies = 1;
  std::optional<int> firstPage;  // empty: page 1
  std::optional<int> lastPage;   // empty: the header's page count
  std::optional<SideMode> side;  // empty: what the header check selects
  DotKind dots = DotKind::kMedium;
};

// A whole decimal number within [min, max], or nothing.
std::optional<int> ParseNumber(std::string_view text, int min, int max);
// none|front|back|both|both-in-order|single, or the item number -1..4.
std::optional<SideMode> ParseSideMode(std::string_view text);
// medium|large|medium-double|large-double, or the item number 0..3.
std::optional<DotKind> ParseDotKind(std::string_view text);
// "A-B" (A <= B) or a single page "A", pages 1..999.
std::optional<std::pair<int, int>> ParsePageRange(std::string_view text);

// The main window's document controls, filled from the options and the header check; nothing
// changes them during the run.
class FixedControls : public PrintControls {
 public:
  FixedControls(const PrintOptions& options, const HeaderCheck& check, std::string label)
      : options_(options), check_(check), label_(std::move(label)) {}
  int Copies() const override { return options_.copies; }
  int StartPage() const override { return options_.firstPage.value_or(1); }
  int LastPage() const override { return options_.lastPage.value_or(check_.pageCount); }
  SideMode Sides() const override { return options_.side.value_or(check_.side); }
  DotKind Dots() const override { return options_.dots; }
  std::string DocumentLabel() const override { return label_; }
  // There are no controls to empty: each run prints one document.
  void ResetDocumentControls() override {}

 private:
  const PrintOptions& options_;
  const HeaderCheck& check_;
  std::string label_;
};

}  // namespace redadado
