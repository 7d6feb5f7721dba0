#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "base/file_paths.h"
#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace redadado::test {
namespace {

// One argument as CommandLineToArgvW reads it back: quoted, with backslashes doubled before a
// quote.
std::wstring Quote(const std::wstring& arg) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE Inheritable(const std::filesystem::path& file, DWORD access, DWORD creation) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args) {
  TempDir dir;
  const std::filesystem::path program = PathFromUtf8(REDADADO_CLI_PATH);
  std::wstring command = Quote(program.wstring());
  for (const std::string& arg : args) command += L" " + Quote(PathFromUtf8(arg).wstring());
  const HANDLE in = Inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
  const HANDLE out = Inheritable(dir / "out", GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE err = Inheritable(dir / "err", GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  CliResult result;
  if (CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) result.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (const HANDLE handle : {in, out, err}) CloseHandle(handle);
  result.out = ReadFile(dir / "out");
  result.err = ReadFile(dir / "err");
  return result;
}

}  // namespace redadado::test
