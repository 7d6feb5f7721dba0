#include "png_reader.h"

#include <png.h>

namespace redadado::test {

std::optional<GreyImage> ReadGreyPng(const std::filesystem::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, file.string().c_str()) == 0) return std::nullopt;
  image.format = PNG_FORMAT_GRAY;
  GreyImage result;
  result.width = static_cast<int>(image.width);
  result.height = static_cast<int>(image.height);
  result.grey.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, result.grey.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return std::nullopt;
  }
  return result;
}

}  // namespace redadado::test
