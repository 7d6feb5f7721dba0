#include <windows.h>

#include <array>
#include <string_view>

#include "speech/speech_helper.h"
#include "speech/windows_readers.h"

// Speaks what the application sends on standard input through the readers' own 32-bit
// libraries, until the application closes the pipe (or goes away).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  redadado::HelperSession session(redadado::LoadPcTalkerLibrary(), redadado::LoadXpReaderLibrary());
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  std::array<char, 4096> buffer;
  DWORD got = 0;
  while (ReadFile(input, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
         got > 0) {
    if (!session.Feed(std::string_view(buffer.data(), got))) return 1;
  }
  return 0;
}
