#pragma once

#include "speech/speech_guide.h"

namespace redadado {

// Whether a screen reader that reads the windows (Orca) is running on this desktop: the
// accessibility bus's ScreenReaderEnabled or IsEnabled, one of which Orca sets as it starts.
// False on Windows, where the guide's routes are the screen readers themselves.
bool ScreenReaderRunning();

// The guide's routes, silent while such a screen reader runs: it already says every control (the
// guide's words are the controls' names and descriptions) and a second voice on the same speech
// server would cut it off or be cut off, and say everything twice.
ReaderRoutes QuietBesideScreenReader(ReaderRoutes routes);

}  // namespace redadado
