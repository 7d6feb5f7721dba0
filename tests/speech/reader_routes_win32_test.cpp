#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "speech/speech_guide.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using enum SpeakingControl;

// Announces through the real Windows routes; the stand-in libraries (built beside this test in
// readers/) record every call with the text's bytes in hex.
class WindowsReaders : public ::testing::Test {
 protected:
  WindowsReaders() { SetEnvironmentVariableA("REDADADO_READER_LOG", Log().string().c_str()); }
  ~WindowsReaders() override {
    SetEnvironmentVariableA("REDADADO_READER_LOG", nullptr);
    SetDllDirectoryA(nullptr);
  }

  std::filesystem::path Log() const { return dir_ / "calls.txt"; }
  std::string Calls() const {
    return std::filesystem::exists(Log()) ? test::ReadFile(Log()) : std::string();
  }
  // The stand-ins lie in readers/ beside the test, out of the search path until asked for.
  static void FindReaders() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    SetDllDirectoryA((std::filesystem::path(exe).parent_path() / "readers").string().c_str());
  }

  test::TempDir dir_;
};

TEST_F(WindowsReaders, MissingLibrariesAreSilent) {
  Settings settings;
  SpeechGuide guide(settings, PlatformReaderRoutes());
  guide.OpenXpReader();
  for (int choice : {1, 2}) {
    settings.values[Settings::kScreenReader] = choice;
    guide.Notice(kFileE, SpeechEvent::kEnter, "");
    guide.Notice(kButton5, SpeechEvent::kEnter, "");
  }
  EXPECT_EQ(Calls(), "");
}

// Code page 932 text, the integers as given, the reset only before the file field's text on
// PC-Talker, and many calls in a row: a calling convention taken wrongly would corrupt the stack.
TEST_F(WindowsReaders, TextsArriveInCodePage932WithTheirIntegers) {
  FindReaders();
  Settings settings;
  SpeechGuide guide(settings, PlatformReaderRoutes());
  guide.OpenXpReader();
  settings.values[Settings::kScreenReader] = 1;
  guide.Notice(kFileE, SpeechEvent::kEnter, "");
  guide.Notice(kButton5, SpeechEvent::kEnter, "");
  settings.values[Settings::kScreenReader] = 2;
  guide.Notice(kFileE, SpeechEvent::kEnter, "C:\\文書\\竹取.bse");
  guide.Notice(kBusuE, SpeechEvent::kChange, "2");
  EXPECT_EQ(Calls(),
            "PCTKVReset\n"
            "PCTKPRead 95b68fcd837483408343838b82f08cc482d18f6f82b582c482ad82be82b382a2 4 1\n"
            "PCTKPRead 88f38dfc82cc837b835e839381408373815b 4 1\n"
            "SoundMessage 433a5c95b68f915c927c8ee62e627365 0\n"
            "SoundMessage 9594909482cc95cf8d58814032 0\n");

  std::filesystem::remove(Log());
  for (int i = 0; i < 200; ++i) {
    settings.values[Settings::kScreenReader] = 1 + i % 2;
    guide.Announce("x");
  }
  const std::string calls = Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), '\n'), 200);

  guide.ReleaseXpReader();
  std::filesystem::remove(Log());
  guide.Announce("x");
  EXPECT_EQ(Calls(), "");
}

}  // namespace
}  // namespace redadado
