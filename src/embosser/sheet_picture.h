#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "embosser/stream_decoder.h"

namespace redadado {

// Pictures show a sheet side as embossed paper: 2 pixels per raster position with a margin.
inline constexpr int kPictureScale = 2;
inline constexpr int kPictureMargin = 24;
inline constexpr int kPictureWidth = kEmbosserColumns * kPictureScale + 2 * kPictureMargin;
inline constexpr int kPictureHeight = kEmbosserRows * kPictureScale + 2 * kPictureMargin;

// 8-bit grey, row by row, white paper.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> grey;
};

// The pixel centre of raster position (x, y).
inline int PictureX(int x) {
  return kPictureMargin + x * kPictureScale + kPictureScale / 2;
}
inline int PictureY(int y) {
  return kPictureMargin + y * kPictureScale + kPictureScale / 2;
}

// Each dot a shaded bump lit from the upper left; large dots are bigger than medium ones and a
// double strike is pressed deeper (darker).
Picture RenderSheetSide(const SheetSide& side);

// Returns the reason when the file could not be written.
std::optional<std::string> WritePng(const std::filesystem::path& file, const Picture& picture);

}  // namespace redadado
