#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "preview/row_table.h"

namespace redadado {

// What the page view and the page overview draw, as positions in their pictures: the windows
// and the command-line tool paint from these, and tests check them without pixels.

enum class Paper { kB5, kA4 };
enum class Orientation { kPortrait, kLandscape };

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// Colours as 0xRRGGBB.
inline constexpr unsigned kNavy = 0x000080;
inline constexpr unsigned kWhite = 0xFFFFFF;
inline constexpr unsigned kLightYellow = 0xFFFF7F;  // white minus navy: the page labels
inline constexpr unsigned kButtonFace = 0xF0F0F0;   // the overview's background

// ---- Page view ----

// The picture of one page: B5 490 × 695, A4 610 × 755, turned for landscape.
Size PageImageSize(Paper paper, Orientation orientation);

// The y of row `row` on the page: 31 pixels apart for single-sided documents, 39 for the others,
// whose even pages (the backs) stand half a line higher.
int PageRowY(int linesPerPage, int pageNumber, int row);

// A point of the page in the picture: a margin of 5, and in landscape the page turned a quarter
// turn clockwise (its first line down the right-hand edge).
Point PageToImage(Point page, Paper paper, Orientation orientation);

// The offsets of dots 1..6 from the cell's origin on the page.
inline constexpr std::array<Point, 6> kDotOffsets = {
    {{0, 0}, {0, 7}, {0, 14}, {6, 0}, {6, 7}, {6, 14}}};

// The five pixels of the small cross that shows one dot around its centre.
std::array<Point, 5> DotCross(Point centre);

// One thing drawn on the page, in drawing order: a dot (its centre; text empty) or a kana
// reading (its top left corner), white on navy.
struct PageMark {
  Point at;
  std::string_view text;
  bool operator==(const PageMark&) const = default;
};

struct PageLayout {
  Size size;
  std::vector<PageMark> marks;
};

// Lays out page `pageNumber` (from 1) of a document with `linesPerPage` lines from its rows.
// In kana mode the page starts with no pending mark, so a page reads the same whatever was
// drawn before it; within the page every row ends the modes and a pending voicing carries on. A
// cell without a reading shows its dots, a two-kana reading hides the next cell.
PageLayout LayOutPage(const RowTable& rows, int linesPerPage, int pageNumber, Paper paper,
                      Orientation orientation, bool kanaMode);

// ---- Page overview ----

inline constexpr int kSlotWidth = 125;
inline constexpr int kSlotHeight = 190;
inline constexpr int kSlotsPerRow = 7;
inline constexpr int kOverviewWidth = 880;

// 1 for 19 and 24 lines per page: every pitch of the thumbnails is divided by 4 + this.
int ThumbnailShrink(int linesPerPage);

// 880 × (pageCount div 7 + 1) · 190.
Size OverviewSize(int pageCount);

// The top left corner of the slot of page index `page` (from 0).
Point SlotOrigin(int page);

// The navy page area of a slot, corners inclusive.
struct Area {
  Point topLeft;
  Point bottomRight;
  bool operator==(const Area&) const = default;
};
Area ThumbnailArea(int page, int linesPerPage);

// The label " N " of page index `page` and where its top left corner goes.
std::string ThumbnailLabel(int page);
Point ThumbnailLabelPosition(int page);

// The white pixels of the thumbnail of page index `page`, in overview coordinates.
std::vector<Point> ThumbnailDots(const RowTable& rows, int linesPerPage, int page);

// The page index a click at (x, y) of the overview picture stands for; may lie past the last
// page; -1 outside the seven columns of slots.
int PageIndexAt(Point click);

// The pages whose slots meet the band [top, bottom) of the overview picture: the first and one
// past the last page index. What a window has to paint when that band is on screen.
struct PageSpan {
  int first = 0;
  int end = 0;
  bool operator==(const PageSpan&) const = default;
};
PageSpan SlotsInRows(int top, int bottom, int pageCount);

// The rows of every page of a document, read in one pass, for the thumbnails.
class OverviewModel {
 public:
  // Without pages when the document cannot be opened: its slots stay empty.
  static OverviewModel Read(const std::string& path, int linesPerPage, int pageCount);

  bool opened() const { return !pages_.empty(); }
  int linesPerPage() const { return linesPerPage_; }
  int pageCount() const { return pageCount_; }
  // Only while opened().
  const RowTable& Rows(int page) const { return pages_[page]; }

 private:
  int linesPerPage_ = 0;
  int pageCount_ = 0;
  std::vector<RowTable> pages_;
};

}  // namespace redadado
