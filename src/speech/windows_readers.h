#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "speech/speech_guide.h"

// The Windows routes to screen readers (built on Windows only).
namespace redadado {

// PC-Talker's and XP Reader's own libraries, loaded into this process. They are 32-bit: only a
// 32-bit process (the 32-bit build, or the speech helper) can load them.
std::unique_ptr<Reader> LoadPcTalkerLibrary();
std::unique_ptr<Reader> LoadXpReaderLibrary();

// The two routes through the speech helper program at `helper`, for a 64-bit process. Both
// share one helper, started at the first text either has to say; when it cannot start, or stops,
// `tellUnavailable` runs once and the guide goes on without speech.
ReaderRoutes HelperReaderRoutes(std::filesystem::path helper,
                                std::function<void()> tellUnavailable);

// The file name of the helper, next to the application.
inline constexpr const wchar_t* kSpeechHelperName = L"redadado-speech32.exe";

// UI Automation notifications (which NVDA, JAWS and Narrator speak) raised on the window that
// `window` gives at each text (a window handle; none: nothing is raised), through
// UiaRaiseNotificationEvent in `library`, looked up at run time: where the library or the call
// is missing, the reader stays silent.
std::unique_ptr<Reader> OpenUiaNotifications(const wchar_t* library, std::function<void*()> window);

}  // namespace redadado
