#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace redadado::test {

struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> grey;
  std::uint8_t At(int x, int y) const { return grey[static_cast<std::size_t>(y) * width + x]; }
};

// Reads a PNG back as 8-bit grey (stb's reader, independent of the writer's code).
std::optional<GreyImage> ReadGreyPng(const std::filesystem::path& file);

}  // namespace redadado::test
