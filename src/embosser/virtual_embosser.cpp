#include "embosser/virtual_embosser.h"

#include <cstdio>
#include <regex>
#include <system_error>

#include "base/file_paths.h"
#include "base/system_reason.h"
#include "embosser/sheet_picture.h"

namespace redadado {

std::string SidePictureName(int sideNumber) {
  char name[32];
  std::snprintf(name, sizeof name, "side-%03d.png", sideNumber);
  return name;
}

VirtualEmbosser::VirtualEmbosser(std::filesystem::path pictureDirectory, int firstSideNumber)
    : directory_(std::move(pictureDirectory)), firstSide_(firstSideNumber) {}

bool VirtualEmbosser::Put(std::uint8_t byte) {
  decoder_.Feed(byte);
  return true;
}

LinkFailure VirtualEmbosser::Failure() const {
  return {};
}

VirtualEmbosser::Outcome VirtualEmbosser::Finish() {
  decoder_.Finish();
  const std::vector<SheetSide>& sides = decoder_.Sides();
  const int count = static_cast<int>(sides.size());
  std::error_code error;
  std::filesystem::create_directories(directory_, error);
  if (error) {
    return {false,
            "画像の保存先を作れませんでした: " + Utf8FromPath(directory_) + ": " +
                ErrorCodeReasonText(error),
            0};
  }
  if (firstSide_ == 1) {
    static const std::regex ownPicture("side-[0-9]+\\.png");
    for (const auto& entry : std::filesystem::directory_iterator(directory_, error)) {
      if (std::regex_match(Utf8FromPath(entry.path().filename()), ownPicture)) {
        std::filesystem::remove(entry.path(), error);
      }
    }
  }
  for (const SheetSide& side : sides) {
    const std::filesystem::path file = directory_ / SidePictureName(firstSide_ - 1 + side.number);
    if (const auto reason = WritePng(file, RenderSheetSide(side))) {
      return {false, "画像を保存できませんでした: " + *reason, side.number - 1};
    }
  }
  const std::string written =
      std::to_string(count) + " 面を出力しました: " + Utf8FromPath(directory_);
  const std::vector<StreamFault>& faults = decoder_.Faults();
  if (!faults.empty()) {
    return {false,
            written + "（受信したデータに誤りが " + std::to_string(faults.size()) +
                " 件あります。最初の誤り: " + faults.front().Describe() + "）",
            count};
  }
  return {true, written, count};
}

}  // namespace redadado
