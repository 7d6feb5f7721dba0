#pragma once

namespace redadado {

// How a document's pages go onto the paper. The values are the side list's item numbers, which
// the command line and the print queue accept too; kNone is the list without a selection.
enum class SideMode {
  kNone = -1,
  kFrontOnly = 0,            // the odd pages of an 18-line document
  kBackOnly = 1,             // its even pages, on the backs
  kFrontAndBack = 2,         // fronts, then the backs after the user turned the paper over
  kFrontAndBackInOrder = 3,  // every page in order, each at its own side's height, one-sided
  kAllSingle = 4,            // every page one-sided at the fronts' height
};

// Which pages one pass over the document embosses, and at which height.
enum class PassSide {
  kFront,        // the odd pages (every page of a 22-line document)
  kBack,         // the even pages, lifted between the fronts' lines
  kInPageOrder,  // every page at its own side's height
  kAllSingle,    // every page at the fronts' height
};

// The dot list's items: size and strike count.
enum class DotKind { kMedium = 0, kLarge = 1, kMediumDouble = 2, kLargeDouble = 3 };

// The side mode of a list item; an item outside the list is no selection.
constexpr SideMode SideModeOfItem(int item) {
  return item >= -1 && item <= 4 ? static_cast<SideMode>(item) : SideMode::kNone;
}
// The dot kind of a list item; an item outside the list is the first.
constexpr DotKind DotKindOfItem(int item) {
  return item >= 0 && item <= 3 ? static_cast<DotKind>(item) : DotKind::kMedium;
}
constexpr int ItemOf(SideMode mode) {
  return static_cast<int>(mode);
}
constexpr int ItemOf(DotKind kind) {
  return static_cast<int>(kind);
}

constexpr bool IsLargeDot(DotKind kind) {
  return kind == DotKind::kLarge || kind == DotKind::kLargeDouble;
}
constexpr bool IsDoubleStrike(DotKind kind) {
  return kind == DotKind::kMediumDouble || kind == DotKind::kLargeDouble;
}

}  // namespace redadado
