#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "speech/windows_readers.h"

namespace redadado {

namespace {

// The readers take NUL-terminated code page 932 text; the rest of the system speaks UTF-8.
std::vector<char> ToCodePage932(const std::string& utf8) {
  const int size = static_cast<int>(utf8.size());
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideLength);
  const int length =
      WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  WideCharToMultiByte(932, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
  return text;
}

template <typename Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// PC-Talker's user library: PCTKPRead takes its arguments the C way (the caller removes them).
class PcTalker : public Reader {
 public:
  using ReadFunction = void(__cdecl*)(char* text, int, int);
  using ResetFunction = void(__cdecl*)();

  PcTalker() : module_(LoadLibraryA("pctkusr.dll")) {
    if (module_) {
      reset_ = Export<ResetFunction>(module_, "PCTKVReset");
      read_ = Export<ReadFunction>(module_, "PCTKPRead");
    }
  }
  PcTalker(const PcTalker&) = delete;
  PcTalker& operator=(const PcTalker&) = delete;
  ~PcTalker() override {
    if (module_) FreeLibrary(module_);
  }

  void Speak(const std::string& text) override {
    if (!read_) return;
    std::vector<char> converted = ToCodePage932(text);
    read_(converted.data(), 4, 1);
  }
  void Reset() override {
    if (reset_) reset_();
  }

 private:
  HMODULE module_;
  ResetFunction reset_ = nullptr;
  ReadFunction read_ = nullptr;
};

// XP Reader's SOUNDP.DLL: SoundMessage takes its arguments the Windows way (the callee removes
// them).
class XpReader : public Reader {
 public:
  using MessageFunction = void(__stdcall*)(char* text, int);

  XpReader() : module_(LoadLibraryA("SOUNDP.DLL")) {
    if (module_) message_ = Export<MessageFunction>(module_, "SoundMessage");
  }
  XpReader(const XpReader&) = delete;
  XpReader& operator=(const XpReader&) = delete;
  ~XpReader() override {
    if (module_) FreeLibrary(module_);
  }

  void Speak(const std::string& text) override {
    if (!message_) return;
    std::vector<char> converted = ToCodePage932(text);
    message_(converted.data(), 0);
  }
  void Reset() override {}  // XP Reader has no reset

 private:
  HMODULE module_;
  MessageFunction message_ = nullptr;
};

}  // namespace

std::unique_ptr<Reader> LoadPcTalkerLibrary() {
  return std::make_unique<PcTalker>();
}

std::unique_ptr<Reader> LoadXpReaderLibrary() {
  return std::make_unique<XpReader>();
}

}  // namespace redadado
