#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "emboss/print_seams.h"

namespace redadado {

// Writes the byte stream of a run to a file instead of an embosser.
class FileSink : public ByteSink {
 public:
  FileSink() = default;
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  // Creates or empties the file; the reason, in the operating system's words, when it cannot.
  std::optional<std::string> Open(const std::filesystem::path& path);
  // Writes into a stream that is already open (standard output); Close closes it.
  void Attach(std::FILE* stream);
  bool Put(std::uint8_t byte) override;
  LinkFailure Failure() const override { return failure_; }
  // Writes out what is buffered and closes the file. False, with Failure() set, when not every
  // byte reached the file.
  bool Close();

 private:
  void Fail();
  bool Failed() const { return failure_.kind != LinkFault::kNone; }

  std::FILE* file_ = nullptr;
  LinkFailure failure_;
};

}  // namespace redadado
