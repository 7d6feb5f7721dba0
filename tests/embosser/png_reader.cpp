#include "png_reader.h"

#include "support/temp_dir.h"

#define STBI_ONLY_PNG
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace redadado::test {

std::optional<GreyImage> ReadGreyPng(const std::filesystem::path& file) {
  const std::string bytes = ReadFile(file);
  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* pixels =
      stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                            static_cast<int>(bytes.size()), &width, &height, &channels, 1);
  if (pixels == nullptr) return std::nullopt;
  GreyImage result{width, height, {pixels, pixels + static_cast<std::size_t>(width) * height}};
  stbi_image_free(pixels);
  return result;
}

}  // namespace redadado::test
