#pragma once

#include <memory>

#include "speech/speech_guide.h"

namespace redadado {

// A reader that hands its texts to speech-dispatcher, the speech server Orca speaks through.
// `library` is loaded here with dlopen, so the application runs without it; a missing library
// leaves the reader silent. The server is reached from a thread of the reader's own, at the first
// text, through the address the environment names (SPEECHD_ADDRESS) or the user's default socket;
// a server that is absent or never answers costs the caller nothing, and destroying the reader
// waits for it at most a second. `withReset`: Reset cancels what is being said.
std::unique_ptr<Reader> OpenSpeechDispatcher(const char* library, bool withReset);

inline constexpr const char* kSpeechDispatcherLibrary = "libspeechd.so.2";

}  // namespace redadado
