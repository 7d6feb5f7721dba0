#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "base/file_paths.h"
#include "speech/windows_readers.h"

namespace redadado {

namespace {

// Values of UI Automation's NotificationKind and NotificationProcessing: a newer guide text
// replaces one not yet spoken, as moving on to the next control should.
constexpr int kNotificationKindOther = 4;
constexpr int kNotificationProcessingMostRecent = 3;

// Windows 10 1709 and later; looked up by name, so older systems simply stay silent.
class UiaNotifications : public Reader {
 public:
  using HostProviderFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
  using RaiseFunction = HRESULT(WINAPI*)(IUnknown*, int kind, int processing, BSTR text,
                                         BSTR activity);

  UiaNotifications(const wchar_t* library, std::function<void*()> window)
      : module_(LoadLibraryW(library)), window_(std::move(window)) {
    if (module_ == nullptr) return;
    hostProvider_ = reinterpret_cast<HostProviderFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_, "UiaHostProviderFromHwnd")));
    raise_ = reinterpret_cast<RaiseFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_, "UiaRaiseNotificationEvent")));
  }
  UiaNotifications(const UiaNotifications&) = delete;
  UiaNotifications& operator=(const UiaNotifications&) = delete;
  ~UiaNotifications() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  void Speak(const std::string& text) override {
    HWND window = static_cast<HWND>(window_());
    if (hostProvider_ == nullptr || raise_ == nullptr || window == nullptr) return;
    IUnknown* provider = nullptr;
    if (FAILED(hostProvider_(window, &provider)) || provider == nullptr) return;
    const std::wstring wide = PathFromUtf8(text).wstring();  // UTF-8 to UTF-16, nothing more
    BSTR spoken = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    BSTR activity = SysAllocString(L"Redadado");
    raise_(provider, kNotificationKindOther, kNotificationProcessingMostRecent, spoken, activity);
    SysFreeString(activity);
    SysFreeString(spoken);
    provider->Release();
  }
  void Reset() override {}

 private:
  HMODULE module_;
  std::function<void*()> window_;
  HostProviderFunction hostProvider_ = nullptr;
  RaiseFunction raise_ = nullptr;
};

}  // namespace

std::unique_ptr<Reader> OpenUiaNotifications(const wchar_t* library,
                                             std::function<void*()> window) {
  return std::make_unique<UiaNotifications>(library, std::move(window));
}

}  // namespace redadado
