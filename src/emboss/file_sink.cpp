#include "emboss/file_sink.h"

#include <cerrno>
#include <cstring>

#include "base/system_reason.h"

namespace redadado {

FileSink::~FileSink() {
  if (file_ != nullptr && !ownsOutput_) std::fclose(file_);
}

std::optional<std::string> FileSink::Open(const std::filesystem::path& path,
                                          const std::filesystem::path& input) {
  if (file_ != nullptr) Close();
  failure_ = {};
  if (auto refused = output_.Open(path, input)) {
    failure_ = {LinkFault::kFailed, *refused};
    return refused;
  }
  file_ = output_.Stream();
  ownsOutput_ = true;
  return std::nullopt;
}

void FileSink::Attach(std::FILE* stream) {
  if (file_ != nullptr) Close();
  failure_ = {};
  file_ = stream;
  ownsOutput_ = false;
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
  if (ownsOutput_) {
    file_ = nullptr;
    ownsOutput_ = false;
    // A failed write leaves the target as it was; otherwise the whole stream replaces it.
    if (Failed()) return false;
    if (const auto failed = output_.Commit()) failure_ = {LinkFault::kFailed, *failed};
    return !Failed();
  }
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
