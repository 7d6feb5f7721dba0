#include "reader_log.h"

// XP Reader's library as the application sees it: the callee removes the arguments.
extern "C" __declspec(dllexport) void __stdcall SoundMessage(char* text, int a) {
  const int numbers[] = {a};
  LogCall("SoundMessage", text, numbers, 1);
}
