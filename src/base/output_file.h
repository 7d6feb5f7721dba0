#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace redadado {

// Opens a regular file for binary reading without ever waiting on it (a FIFO, a device, a
// terminal). nullptr when it cannot; `reason` then says why as a user reads it.
std::FILE* OpenRegularFile(const std::filesystem::path& path, std::string& reason);

// True when both paths name the same file (device and inode; links followed).
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Every file the programs write: the bytes go to a temporary file next to the target, which
// replaces the target only once the whole result is good. Destroyed uncommitted, it removes the
// temporary file and leaves the target as it was.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Refuses a target that is `input` (the file being read) or anything but a regular file;
  // otherwise creates the temporary file (next to the file a link points at). The reason when
  // it cannot.
  std::optional<std::string> Open(const std::filesystem::path& target,
                                  const std::filesystem::path& input = {});
  std::FILE* Stream() const { return stream_; }
  // Where the bytes are until Commit (for reading the result back before it counts).
  const std::filesystem::path& Written() const { return temporary_; }
  // Writes out, closes and renames into place; the reason when any of it failed.
  std::optional<std::string> Commit();

 private:
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* stream_ = nullptr;
};

// A private file in the system's temporary folder (only its owner may read it), removed when
// this is destroyed.
class PrivateFile {
 public:
  explicit PrivateFile(const std::string& suffix);
  ~PrivateFile();
  PrivateFile(const PrivateFile&) = delete;
  PrivateFile& operator=(const PrivateFile&) = delete;
  // Empty when it could not be created.
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace redadado
