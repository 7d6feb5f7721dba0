#pragma once

#include <windows.h>

#include <cstdio>

// The stand-in reader libraries append one line per call to the file that
// REDADADO_READER_LOG names: the export's name, the text's bytes in hex, the integers.
inline void LogCall(const char* name, const char* text, const int* numbers, int count) {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("REDADADO_READER_LOG", path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  std::FILE* file = std::fopen(path, "ab");
  if (!file) return;
  std::fputs(name, file);
  if (text) {
    std::fputc(' ', file);
    for (const char* p = text; *p; ++p) std::fprintf(file, "%02x", static_cast<unsigned char>(*p));
  }
  for (int i = 0; i < count; ++i) std::fprintf(file, " %d", numbers[i]);
  std::fputc('\n', file);
  std::fclose(file);
}
