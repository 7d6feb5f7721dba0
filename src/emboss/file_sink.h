#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "base/output_file.h"
#include "emboss/print_seams.h"

namespace redadado {

// Writes the byte stream of a run to a file instead of an embosser.
class FileSink : public ByteSink {
 public:
  FileSink() = default;
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  // Writes into a temporary file that replaces `path` at a good Close; refuses a `path` that is
  // `input`. The reason, in the operating system's words, when it cannot.
  std::optional<std::string> Open(const std::filesystem::path& path,
                                  const std::filesystem::path& input);
  // Writes into a stream that is already open (standard output); Close closes it.
  void Attach(std::FILE* stream);
  bool Put(std::uint8_t byte) override;
  LinkFailure Failure() const override { return failure_; }
  // Writes out what is buffered and closes the file (an opened one then replaces its target).
  // False, with Failure() set, when not every byte reached the file; the target then stays as it
  // was.
  bool Close();

 private:
  void Fail();
  bool Failed() const { return failure_.kind != LinkFault::kNone; }

  OutputFile output_;
  std::FILE* file_ = nullptr;
  bool ownsOutput_ = false;
  LinkFailure failure_;
};

}  // namespace redadado
