#include "emboss/file_sink.h"

#include <cerrno>
#include <cstring>

#include "base/file_paths.h"
#include "base/system_reason.h"

namespace redadado {

FileSink::~FileSink() {
  if (file_ != nullptr) std::fclose(file_);
}

std::optional<std::string> FileSink::Open(const std::filesystem::path& path) {
  if (file_ != nullptr) Close();
  failure_.clear();
  file_ = OpenFile(path, "wb");
  if (file_ == nullptr) {
    Fail();
    return Utf8FromPath(path) + ": " + failure_;
  }
  return std::nullopt;
}

void FileSink::Attach(std::FILE* stream) {
  if (file_ != nullptr) Close();
  failure_.clear();
  file_ = stream;
}

bool FileSink::Put(std::uint8_t byte) {
  if (file_ == nullptr && failure_.empty()) failure_ = "the output file is not open";
  if (!failure_.empty()) return false;
  if (std::fputc(byte, file_) == EOF) {
    Fail();
    return false;
  }
  return true;
}

bool FileSink::Close() {
  if (file_ == nullptr) return failure_.empty();
  const bool flushed = std::fflush(file_) == 0;
  if (!flushed && failure_.empty()) Fail();
  const bool closed = std::fclose(file_) == 0;
  if (!closed && failure_.empty()) Fail();
  file_ = nullptr;
  return failure_.empty();
}

void FileSink::Fail() {
  failure_ = errno != 0 ? ErrnoReasonText(errno) : "write error";
}

}  // namespace redadado
