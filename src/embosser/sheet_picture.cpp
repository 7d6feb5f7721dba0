#include "embosser/sheet_picture.h"

#include <algorithm>
#include <cmath>

#include <png.h>

namespace redadado {

namespace {

constexpr double kMediumRadius = 3.5;  // pixels; the cell's dot pitch is 14 to 16 pixels
constexpr double kLargeRadius = 5.0;

void DrawDot(Picture& picture, int cx, int cy, double radius, int strikes) {
  // A deeper press: darker shading and a darker rim.
  const double depth = strikes > 1 ? 1.6 : 1.0;
  const int reach = static_cast<int>(std::ceil(radius)) + 1;
  for (int py = cy - reach; py <= cy + reach; ++py) {
    if (py < 0 || py >= picture.height) continue;
    for (int px = cx - reach; px <= cx + reach; ++px) {
      if (px < 0 || px >= picture.width) continue;
      const double dx = px - cx;
      const double dy = py - cy;
      const double distance = std::sqrt(dx * dx + dy * dy) / radius;
      if (distance > 1.0) continue;
      // Lit from the upper left: the far side of the bump is in shadow, the edge darkest.
      const double slope = (dx + dy) / (radius * 1.414);
      const double shade = 40.0 + 70.0 * slope + 60.0 * distance * distance;
      const double value = 255.0 - std::clamp(shade, 15.0, 200.0) * depth;
      std::uint8_t& pixel = picture.grey[static_cast<std::size_t>(py) * picture.width + px];
      pixel = std::min(pixel, static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0)));
    }
  }
}

}  // namespace

Picture RenderSheetSide(const SheetSide& side) {
  Picture picture{
      kPictureWidth, kPictureHeight,
      std::vector<std::uint8_t>(static_cast<std::size_t>(kPictureWidth) * kPictureHeight, 255)};
  const double radius = side.large ? kLargeRadius : kMediumRadius;
  for (const EmbossedDot& dot : side.dots) {
    DrawDot(picture, PictureX(dot.x), PictureY(dot.y), radius, dot.strikes);
  }
  return picture;
}

std::optional<std::string> WritePng(const std::filesystem::path& file, const Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_GRAY;
  if (png_image_write_to_file(&image, file.string().c_str(), 0, picture.grey.data(), 0, nullptr) ==
      0) {
    std::string reason = file.string() + ": " + image.message;
    png_image_free(&image);
    return reason;
  }
  return std::nullopt;
}

}  // namespace redadado
