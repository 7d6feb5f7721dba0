#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "emboss/print_seams.h"
#include "embosser/stream_decoder.h"

namespace redadado {

// Stands in for the embosser: takes the byte stream and writes one PNG per embossed sheet side,
// side-001.png, side-002.png, ... in its picture directory.
class VirtualEmbosser : public ByteSink {
 public:
  // `firstSideNumber` continues the numbering over several connections; starting at 1 removes
  // the side pictures an earlier run left in the directory, so it shows this run only.
  explicit VirtualEmbosser(std::filesystem::path pictureDirectory, int firstSideNumber = 1);

  bool Put(std::uint8_t byte) override;
  LinkFailure Failure() const override;

  // Decodes the stream received so far and writes one PNG per embossed sheet side.
  // Returns a one-line summary on success or the reason on failure.
  struct Outcome {
    bool ok;
    std::string text;
    int sheetSides;
  };
  Outcome Finish();

  const StreamDecoder& Decoder() const { return decoder_; }

 private:
  std::filesystem::path directory_;
  int firstSide_;
  StreamDecoder decoder_;
};

// "side-007.png"
std::string SidePictureName(int sideNumber);

}  // namespace redadado
