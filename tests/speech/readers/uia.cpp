#include <unknwn.h>

#include "reader_log.h"

// UI Automation's two calls as the application sees them, with a provider that only counts its
// release.
namespace {

class Provider : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override {
    LogCall("Release", nullptr, nullptr, 0);
    return 1;
  }
};

Provider provider;

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    UiaHostProviderFromHwnd(HWND window, IUnknown** result) {
  const int numbers[] = {static_cast<int>(reinterpret_cast<INT_PTR>(window))};
  LogCall("UiaHostProviderFromHwnd", nullptr, numbers, 1);
  *result = &provider;
  return S_OK;
}

// Logs the text in UTF-8, the kind and processing, and 1 when the provider and the activity
// name are the ones expected.
extern "C" __declspec(dllexport) HRESULT WINAPI
    UiaRaiseNotificationEvent(IUnknown* source, int kind, int processing, wchar_t* text,
                              wchar_t* activity) {
  char utf8[1024] = "";
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
  const int numbers[] = {kind, processing,
                         source == &provider && lstrcmpW(activity, L"Redadado") == 0};
  LogCall("UiaRaiseNotificationEvent", utf8, numbers, 3);
  return S_OK;
}
