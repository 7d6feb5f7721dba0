#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "speech/speech_guide.h"
#include "speech/windows_readers.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using enum SpeakingControl;

// Announces through the real Windows routes; the stand-in libraries (built beside this test in
// readers/) record every call with the text's bytes in hex.
class WindowsReaders : public ::testing::Test {
 protected:
  WindowsReaders() {
    SetEnvironmentVariableA("REDADADO_READER_LOG", Log().string().c_str());
    GetEnvironmentVariableA("PATH", path_, sizeof path_);
  }
  ~WindowsReaders() override {
    SetEnvironmentVariableA("REDADADO_READER_LOG", nullptr);
    SetEnvironmentVariableA("PATH", path_);
    SetDllDirectoryA(nullptr);
  }

  std::filesystem::path Log() const { return dir_ / "calls.txt"; }
  std::string Calls() const {
    return std::filesystem::exists(Log()) ? test::ReadFile(Log()) : std::string();
  }
  // The stand-ins lie in readers/ beside the test, out of the search path until asked for.
  static std::filesystem::path Readers() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path() / "readers";
  }
  static void FindReaders() { SetDllDirectoryA(Readers().string().c_str()); }
  // The helper, a process of its own, finds them on the PATH, as it finds installed readers.
  void PutReadersOnThePath() {
    SetEnvironmentVariableA("PATH", (Readers().string() + ";" + path_).c_str());
  }
  static ReaderRoutes LibraryRoutes() {
    return {.openPcTalker = LoadPcTalkerLibrary, .openXpReader = LoadXpReaderLibrary};
  }

  test::TempDir dir_;
  char path_[32768] = "";
};

// What a guide says through either route, and what the stand-ins then record: code page 932
// text, the integers as given, the reset only before the file field's text on PC-Talker.
void SpeakTheSampleTexts(Settings& settings, SpeechGuide& guide) {
  settings.values[Settings::kScreenReader] = 1;
  guide.Notice(kFileE, SpeechEvent::kEnter, "");
  guide.Notice(kButton5, SpeechEvent::kEnter, "");
  settings.values[Settings::kScreenReader] = 2;
  guide.Notice(kFileE, SpeechEvent::kEnter, "C:\\文書\\竹取.bse");
  guide.Notice(kBusuE, SpeechEvent::kChange, "2");
}
constexpr const char* kSampleCalls =
    "PCTKVReset\n"
    "PCTKPRead 95b68fcd837483408343838b82f08cc482d18f6f82b582c482ad82be82b382a2 4 1\n"
    "PCTKPRead 88f38dfc82cc837b835e839381408373815b 4 1\n"
    "SoundMessage 433a5c95b68f915c927c8ee62e627365 0\n"
    "SoundMessage 9594909482cc95cf8d58814032 0\n";

TEST_F(WindowsReaders, MissingLibrariesAreSilent) {
  Settings settings;
  SpeechGuide guide(settings, LibraryRoutes());
  guide.OpenXpReader();
  for (int choice : {1, 2}) {
    settings.values[Settings::kScreenReader] = choice;
    guide.Notice(kFileE, SpeechEvent::kEnter, "");
    guide.Notice(kButton5, SpeechEvent::kEnter, "");
  }
  EXPECT_EQ(Calls(), "");
}

// Many calls in a row too: a calling convention taken wrongly would corrupt the stack.
TEST_F(WindowsReaders, TextsArriveInCodePage932WithTheirIntegers) {
  FindReaders();
  Settings settings;
  SpeechGuide guide(settings, LibraryRoutes());
  guide.OpenXpReader();
  SpeakTheSampleTexts(settings, guide);
  EXPECT_EQ(Calls(), kSampleCalls);

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

// A 64-bit application speaks through the helper: the same calls, in the same order, made by
// the helper's process, which ends when the routes are closed.
TEST_F(WindowsReaders, TheHelperMakesTheSameCallsInOrder) {
  PutReadersOnThePath();
  Settings settings;
  int unavailable = 0;
  {
    SpeechGuide guide(settings, HelperReaderRoutes(REDADADO_SPEECH_HELPER, [&] { ++unavailable; }));
    guide.OpenXpReader();
    SpeakTheSampleTexts(settings, guide);
    guide.ReleaseXpReader();
    guide.Announce("after");  // XP Reader is released: nothing
    settings.values[Settings::kScreenReader] = 1;
    guide.Announce("x");
  }
  EXPECT_EQ(Calls(), std::string(kSampleCalls) + "PCTKPRead 78 4 1\n");
  EXPECT_EQ(unavailable, 0);
}

TEST_F(WindowsReaders, AHelperThatCannotStartIsToldOnceAndNothingIsSpoken) {
  PutReadersOnThePath();
  Settings settings;
  int unavailable = 0;
  SpeechGuide guide(settings,
                    HelperReaderRoutes(dir_ / "redadado-speech32.exe", [&] { ++unavailable; }));
  guide.OpenXpReader();
  for (int i = 0; i < 4; ++i) {
    settings.values[Settings::kScreenReader] = 1 + i % 2;
    guide.Notice(kFileE, SpeechEvent::kEnter, "");
  }
  EXPECT_EQ(unavailable, 1);
  EXPECT_EQ(Calls(), "");
}

// The notification goes to the window's host provider, which is released after each text; with
// no window, or without the library, nothing happens.
TEST_F(WindowsReaders, NotificationsAreRaisedOnTheWindowThroughUiAutomation) {
  FindReaders();
  const auto window = [] { return reinterpret_cast<void*>(INT_PTR{0x1234}); };
  OpenUiaNotifications(L"test_uia.dll", window)->Speak("印刷のボタン　ピー");
  OpenUiaNotifications(L"test_uia.dll", [] { return static_cast<void*>(nullptr); })->Speak("x");
  OpenUiaNotifications(L"no_such_uia.dll", window)->Speak("x");
  EXPECT_EQ(Calls(),
            "UiaHostProviderFromHwnd 4660\n"
            "UiaRaiseNotificationEvent "
            "e58db0e588b7e381aee3839ce382bfe383b3e38080e38394e383bc 4 3 1\n"
            "Release\n");
}

}  // namespace
}  // namespace redadado
