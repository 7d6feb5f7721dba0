#include <windows.h>

#include "base/app_paths.h"
#include "speech/windows_readers.h"

namespace redadado {

// A 32-bit build loads the readers' 32-bit libraries itself; a 64-bit one cannot, and speaks
// through the 32-bit helper installed beside it.
ReaderRoutes PlatformReaderRoutes() {
  ReaderRoutes routes;
  if constexpr (sizeof(void*) == 4) {
    routes = {.openPcTalker = LoadPcTalkerLibrary, .openXpReader = LoadXpReaderLibrary};
  } else {
    routes = HelperReaderRoutes(ExecutableDirectory() / kSpeechHelperName, [] {
      MessageBoxW(GetActiveWindow(),
                  L"音声ガイドの補助プログラム（redadado-speech32.exe）を起動できません。"
                  L"スクリーンリーダーへの音声ガイドなしで続けます。",
                  L"確認", MB_OK | MB_ICONEXCLAMATION);
    });
  }
  // The active window of the interface thread: the main window as its controls speak.
  routes.openNotifications = [] {
    return OpenUiaNotifications(L"uiautomationcore.dll",
                                [] { return static_cast<void*>(GetActiveWindow()); });
  };
  return routes;
}

}  // namespace redadado
