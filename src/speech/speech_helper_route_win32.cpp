#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "speech/speech_helper.h"
#include "speech/windows_readers.h"

namespace redadado {

namespace {

// The helper program with the write end of its standard input.
class HelperProcess {
 public:
  HelperProcess(std::filesystem::path program, std::function<void()> tellUnavailable)
      : program_(std::move(program)), tellUnavailable_(std::move(tellUnavailable)) {}
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;
  ~HelperProcess() { Stop(); }

  // Starts the helper at the first command. Speech goes on in the helper while the window does.
  void Send(const HelperCommand& command) {
    if (failed_) return;
    if (pipe_ == nullptr && !Start()) return Fail();
    const std::string bytes = EncodeHelperCommand(command);
    DWORD written = 0;
    if (!WriteFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
      Fail();
    }
  }
  // A command that only matters to a helper already running.
  void SendIfRunning(const HelperCommand& command) {
    if (pipe_ != nullptr) Send(command);
  }

 private:
  bool Start() {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    if (!CreatePipe(&readEnd, &pipe_, &inheritable, 64 * 1024)) {
      pipe_ = nullptr;
      return false;
    }
    SetHandleInformation(pipe_, HANDLE_FLAG_INHERIT, 0);  // the helper gets the read end only
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    std::wstring commandLine = L"\"" + program_.wstring() + L"\"";
    PROCESS_INFORMATION started{};
    const BOOL ok = CreateProcessW(program_.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started);
    CloseHandle(readEnd);
    if (!ok) return false;
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    return true;
  }

  // The end of input ends the helper, which frees the libraries on its way out.
  void Stop() {
    if (pipe_ != nullptr) CloseHandle(pipe_);
    pipe_ = nullptr;
    if (process_ == nullptr) return;
    if (WaitForSingleObject(process_, 3000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
    process_ = nullptr;
  }

  // Once: a guide that cannot speak says so, then stays silent.
  void Fail() {
    failed_ = true;
    Stop();
    tellUnavailable_();
  }

  std::filesystem::path program_;
  std::function<void()> tellUnavailable_;
  HANDLE pipe_ = nullptr;
  HANDLE process_ = nullptr;
  bool failed_ = false;
};

class HelperReader : public Reader {
 public:
  HelperReader(std::shared_ptr<HelperProcess> helper, HelperOp speak)
      : helper_(std::move(helper)), speak_(speak) {}
  HelperReader(const HelperReader&) = delete;
  HelperReader& operator=(const HelperReader&) = delete;
  ~HelperReader() override {
    if (speak_ == HelperOp::kXpReaderSpeak)
      helper_->SendIfRunning({HelperOp::kXpReaderRelease, {}});
  }

  void Speak(const std::string& text) override { helper_->Send({speak_, text}); }
  void Reset() override {
    if (speak_ == HelperOp::kPcTalkerSpeak) helper_->Send({HelperOp::kPcTalkerReset, {}});
  }

 private:
  std::shared_ptr<HelperProcess> helper_;
  HelperOp speak_;
};

}  // namespace

ReaderRoutes HelperReaderRoutes(std::filesystem::path helper,
                                std::function<void()> tellUnavailable) {
  auto process = std::make_shared<HelperProcess>(std::move(helper), std::move(tellUnavailable));
  return {
      .openPcTalker =
          [process] { return std::make_unique<HelperReader>(process, HelperOp::kPcTalkerSpeak); },
      .openXpReader =
          [process] { return std::make_unique<HelperReader>(process, HelperOp::kXpReaderSpeak); },
  };
}

}  // namespace redadado
