#include "base/settings_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "base/file_paths.h"
#include "base/output_file.h"
#include "base/system_reason.h"

namespace redadado {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// One "%d" item at `pos`: white space, an optional sign, at least one digit.
std::optional<long long> ReadInteger(const std::string& text, std::size_t& pos) {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  std::size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
    negative = text[p] == '-';
    ++p;
  }
  if (p >= text.size() || text[p] < '0' || text[p] > '9') return std::nullopt;
  long long value = 0;
  for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
    // Saturate: any value this large is out of range anyway.
    if (value < 1'000'000'000'000LL) value = value * 10 + (text[p] - '0');
  }
  pos = p;
  return negative ? -value : value;
}

std::string ErrnoText(int error) {
  return ErrnoReasonText(error);
}

}  // namespace

Settings ParseSettings(const std::string& text) {
  Settings settings;
  const auto defaults = Settings::Defaults();
  const auto maxima = Settings::Maxima();
  std::size_t pos = 0;
  for (std::size_t i = 0; i < Settings::kCount; ++i) {
    const std::optional<long long> value = ReadInteger(text, pos);
    if (!value) break;
    settings.values[i] =
        (*value >= 0 && *value <= maxima[i]) ? static_cast<int>(*value) : defaults[i];
  }
  return settings;
}

std::string FormatSettings(const Settings& settings) {
  std::string text;
  for (std::size_t i = 0; i < Settings::kCount; ++i) {
    if (i > 0) text += ' ';
    text += std::to_string(settings.values[i]);
  }
  return text;
}

Settings LoadSettings(const std::filesystem::path& file) {
  // Only a regular file: a FIFO or a device in its place would hold every start-up.
  std::string ignored;
  std::FILE* f = OpenRegularFile(file, ignored);
  if (f == nullptr) return Settings{};
  // The file holds seven small numbers; anything past a few kilobytes is not ours to read.
  std::string text(4096, '\0');
  const std::size_t n = std::fread(text.data(), 1, text.size(), f);
  std::fclose(f);
  text.resize(n);
  return ParseSettings(text);
}

std::optional<std::string> SaveSettings(const Settings& settings,
                                        const std::filesystem::path& file) {
  // A settings file the user made read-only stays as it is, even for a user (such as root) whom
  // the permission bits would not stop.
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    using std::filesystem::perms;
    const perms writeBits = perms::owner_write | perms::group_write | perms::others_write;
    if ((std::filesystem::status(file, ec).permissions() & writeBits) == perms::none) {
      return Utf8FromPath(file) + ": " + ErrnoText(EACCES);
    }
    std::FILE* probe = OpenFile(file, "r+b");
    if (probe == nullptr) return Utf8FromPath(file) + ": " + ErrnoText(errno);
    std::fclose(probe);
  }

  std::filesystem::path temporary = file;
  temporary += ".tmp";
  std::FILE* f = OpenFile(temporary, "wb");
  if (f == nullptr) return Utf8FromPath(temporary) + ": " + ErrnoText(errno);
  const std::string text = FormatSettings(settings);
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const int writeError = errno;
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    const int error = written ? errno : writeError;
    std::filesystem::remove(temporary, ec);
    return Utf8FromPath(temporary) + ": " + ErrnoText(error);
  }
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return Utf8FromPath(file) + ": " + ErrorCodeReasonText(ec);
  }
  return std::nullopt;
}

}  // namespace redadado
