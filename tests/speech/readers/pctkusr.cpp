#include "reader_log.h"

// PC-Talker's user library as the application sees it: C calling convention.
extern "C" __declspec(dllexport) void __cdecl PCTKVReset() {
  LogCall("PCTKVReset", nullptr, nullptr, 0);
}

extern "C" __declspec(dllexport) void __cdecl PCTKPRead(char* text, int a, int b) {
  const int numbers[] = {a, b};
  LogCall("PCTKPRead", text, numbers, 2);
}
