#include "embosser/sheet_picture.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/file_paths.h"
#include "base/system_reason.h"

namespace {

// zlib's deflate for stb's PNG writer: a third of the size of stb's own in less than half the
// time, and with the same zlib release (Debian's, for Linux and for mingw-w64) the same bytes on
// every system. The buffer is the writer's to free.
unsigned char* ZlibCompress(unsigned char* data, int length, int* compressedLength, int) {
  uLongf size = compressBound(static_cast<uLong>(length));
  auto* out = static_cast<unsigned char*>(std::malloc(size));
  if (out == nullptr) return nullptr;
  if (compress2(out, &size, data, static_cast<uLong>(length), Z_DEFAULT_COMPRESSION) != Z_OK) {
    std::free(out);
    return nullptr;
  }
  *compressedLength = static_cast<int>(size);
  return out;
}

}  // namespace

// stb's PNG writer, compiled here alone.
#define STBIW_ZLIB_COMPRESS ZlibCompress
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace redadado {

namespace {

constexpr double kMediumRadius = 3.5;  // pixels; the cell's dot pitch is 14 to 16 pixels
constexpr double kLargeRadius = 5.0;
constexpr int kFilterUp = 2;  // PNG row filter: the difference to the row above

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
  // One filter for every row instead of stb's trial of all five per row, which costs more than the
  // deflate (and many times more in an unoptimised build); "up" suits paper that is mostly the
  // same from row to row. Set once, before any thread encodes.
  static const bool filterChosen = (stbi_write_force_png_filter = kFilterUp, true);
  (void)filterChosen;
  std::FILE* out = OpenFile(file, "wb");
  if (out == nullptr) return Utf8FromPath(file) + ": " + ErrnoReasonText(errno);
  struct Writer {
    std::FILE* out;
    bool ok = true;
  } writer{out};
  const auto write = [](void* context, void* data, int size) {
    auto* w = static_cast<Writer*>(context);
    w->ok = w->ok && std::fwrite(data, 1, static_cast<std::size_t>(size), w->out) ==
                         static_cast<std::size_t>(size);
  };
  const bool encoded = stbi_write_png_to_func(write, &writer, picture.width, picture.height, 1,
                                              picture.grey.data(), picture.width) != 0;
  const int writeError = errno;
  const bool closed = std::fclose(out) == 0;
  if (!encoded) return Utf8FromPath(file) + ": PNG encoding failed";
  if (!writer.ok || !closed) {
    return Utf8FromPath(file) + ": " + ErrnoReasonText(writer.ok ? errno : writeError);
  }
  return std::nullopt;
}

}  // namespace redadado
