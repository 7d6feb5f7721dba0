#include "base/output_file.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "base/file_paths.h"
#include "base/system_reason.h"

#ifdef _WIN32
#include <random>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace redadado {
namespace {

constexpr const char* kNotRegularFile = "通常のファイルではありません";
constexpr const char* kSameAsInput = "読み込むファイルと同じファイルには書き込めません";

std::string Described(const std::filesystem::path& path, const std::string& reason) {
  return Utf8FromPath(path) + ": " + reason;
}

#ifdef _WIN32
// A new file with a name nobody else chose: `stem` plus random letters.
std::FILE* CreateUnique(const std::filesystem::path& stem, const std::string& suffix,
                        std::filesystem::path& made) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = stem;
    candidate += "." + std::to_string(random()) + suffix;
    std::error_code error;
    if (std::filesystem::exists(candidate, error)) continue;
    if (std::FILE* file = OpenFile(candidate, "wb")) {
      made = candidate;
      return file;
    }
    return nullptr;
  }
  errno = EEXIST;
  return nullptr;
}
#else
std::FILE* CreateUnique(const std::filesystem::path& stem, const std::string& suffix,
                        std::filesystem::path& made) {
  std::string pattern = stem.string() + ".XXXXXX" + suffix;
  const int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = errno;
    ::close(fd);
    ::unlink(pattern.c_str());
    errno = error;
    return nullptr;
  }
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  made = pattern;
  return file;
}
#endif

}  // namespace

#ifdef _WIN32
std::FILE* OpenRegularFile(const std::filesystem::path& path, std::string& reason) {
  std::error_code error;
  const auto type = std::filesystem::status(path, error).type();
  if (type == std::filesystem::file_type::directory) {
    reason = ErrnoReasonText(EISDIR);
    return nullptr;
  }
  if (!error && type != std::filesystem::file_type::regular) {
    reason = kNotRegularFile;
    return nullptr;
  }
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) reason = ErrnoReasonText(errno);
  return file;
}
#else
std::FILE* OpenRegularFile(const std::filesystem::path& path, std::string& reason) {
  // Non-blocking, so that a FIFO or a device opens at once and can be refused.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    reason = ErrnoReasonText(errno);
    return nullptr;
  }
  struct stat status {};
  int error = ::fstat(fd, &status) != 0 ? errno : 0;
  if (error == 0 && S_ISDIR(status.st_mode)) error = EISDIR;
  if (error == 0 && !S_ISREG(status.st_mode)) {
    ::close(fd);
    reason = kNotRegularFile;
    errno = EINVAL;
    return nullptr;
  }
  std::FILE* file = nullptr;
  if (error == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0) {
    file = ::fdopen(fd, "rb");
  }
  if (file == nullptr) {
    if (error == 0) error = errno;
    ::close(fd);
    reason = ErrnoReasonText(error);
    errno = error;
  }
  return file;
}
#endif

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

OutputFile::~OutputFile() {
  Discard();
}

std::optional<std::string> OutputFile::Open(const std::filesystem::path& target,
                                            const std::filesystem::path& input) {
  Discard();
  if (!input.empty() && SameFile(target, input)) return Described(target, kSameAsInput);
  std::error_code error;
  const auto type = std::filesystem::status(target, error).type();
  // Only a regular file is replaced: never a device (/dev/full), a FIFO or a folder.
  if (!error && type != std::filesystem::file_type::regular) {
    return Described(target, type == std::filesystem::file_type::directory
                                 ? ErrnoReasonText(EISDIR)
                                 : std::string(kNotRegularFile));
  }
  // A link keeps pointing at the file, which gets the new contents.
  target_ = error ? target : std::filesystem::canonical(target, error);
  if (error) target_ = target;
  std::filesystem::path directory = target_.parent_path();
  if (directory.empty()) directory = ".";
  std::filesystem::path stem = directory / ".";
  stem += target_.filename();
  stream_ = CreateUnique(stem, ".tmp", temporary_);
  if (stream_ == nullptr) return Described(target, ErrnoReasonText(errno));
#ifndef _WIN32
  // The result gets the permissions a plainly created file would have, not mkstemp's 0600.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(::fileno(stream_), 0666 & ~mask);
#endif
  return std::nullopt;
}

std::optional<std::string> OutputFile::Commit() {
  if (stream_ == nullptr) return Described(target_, ErrnoReasonText(EBADF));
  int error = std::fflush(stream_) != 0 || std::ferror(stream_) != 0 ? errno : 0;
  if (std::fclose(stream_) != 0 && error == 0) error = errno;
  stream_ = nullptr;
  if (error == 0) {
    std::error_code renamed;
    std::filesystem::rename(temporary_, target_, renamed);
    if (!renamed) {
      temporary_.clear();
      return std::nullopt;
    }
    Discard();
    // The library's code, which on Windows is not an errno value.
    return Described(target_, ErrorCodeReasonText(renamed));
  }
  Discard();
  return Described(target_, ErrnoReasonText(error));
}

void OutputFile::Discard() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  std::error_code ignored;
  if (!temporary_.empty()) std::filesystem::remove(temporary_, ignored);
  temporary_.clear();
}

PrivateFile::PrivateFile(const std::string& suffix) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return;
  if (std::FILE* file = CreateUnique(folder / "redadado", suffix, path_)) std::fclose(file);
}

PrivateFile::~PrivateFile() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove(path_, ignored);
}

}  // namespace redadado
