#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace redadado {

// Paths travel through the core as UTF-8 text. On Windows a path made from a narrow string, and
// every narrow file call, would go through the ANSI code page, which cannot name every file
// (竹取.bse on a Western system): these convert explicitly and open through the wide calls.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

// std::fopen by a path that may hold any character; nullptr with errno set on failure.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

}  // namespace redadado
