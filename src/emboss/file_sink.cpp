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
  failure_ = {};
  file_ = OpenFile(path, "wb");
  if (file_ == nullptr) {
    Fail();
    return Utf8FromPath(path) + ": " + failure_.reason;
  }
  return std::nullopt;
}

void FileSink::Attach(std::FILE* stream) {
  if (file_ != nullptr) Close();
  failure_ = {};
  file_ = stream;
}

bool FileSink::Put(std::uint8_t byte) {
  if (file_ == nullptr && !Failed()) failure_ = {LinkFault::kFailed, "the output file is not open"};
  if (Failed()) return false;
  if (std::fputc(byte, file_) == EOF) {
    Fail();
    return false;
  }
  return true;
}

bool FileSink::Close() {
  if (file_ == nullptr) return !Failed();
  const bool flushed = std::fflush(file_) == 0;
  if (!flushed && !Failed()) Fail();
  const bool closed = std::fclose(file_) == 0;
  if (!closed && !Failed()) Fail();
  file_ = nullptr;
  return !Failed();
}

void FileSink::Fail() {
  const LinkFault kind = errno == EPIPE ? LinkFault::kReaderGone : LinkFault::kFailed;
  failure_ = {kind, errno != 0 ? ErrnoReasonText(errno) : "write error"};
}

}  // namespace redadado
