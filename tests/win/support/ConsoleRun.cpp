#include "support/ConsoleRun.h"

#include "base/Error.h"
#include "core/Unicode.h"
#include "support/Poll.h"
#include "support/TestFiles.h"

namespace fixture {

std::wstring Arg(const std::wstring& text) {
  std::wstring quoted = L"\"";
  for (wchar_t c : text) quoted += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
  return quoted + L"\"";
}

std::wstring SkimletCom() { return BuiltProductFolder() + L"skimlet.com"; }

Outcome RunSkimlet(const std::wstring& args) {
  TempFolder io(L"skimlet-console-io");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto open = [&](const wchar_t* name) {
    return ::CreateFileW(io.File(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  };
  STARTUPINFOW si{sizeof si};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = open(L"out");
  si.hStdError = open(L"err");
  std::wstring command = Arg(SkimletCom()) + L" " + args;
  PROCESS_INFORMATION pi{};
  Outcome run;
  if (si.hStdOutput == INVALID_HANDLE_VALUE || si.hStdError == INVALID_HANDLE_VALUE) {
    run.err = "cannot make the output files in " + core::WideToUtf8(io.Path()) + ": " +
              core::WideToUtf8(base::SystemErrorText(::GetLastError()));
  }
  const bool started = run.err.empty() && ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                                           CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  if (!started && run.err.empty()) {
    run.err = "CreateProcess " + core::WideToUtf8(command) + ": " +
              core::WideToUtf8(base::SystemErrorText(::GetLastError()));
  }
  ::CloseHandle(si.hStdOutput);
  ::CloseHandle(si.hStdError);
  if (!started) return run;
  if (!PollUntil([&] { return ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 60000)) {
    run.err = "skimlet.com did not end within 60 s; ended. ";
    ::TerminateProcess(pi.hProcess, 0xFFFFFFFF);  // it would hold its output files past this test
    ::WaitForSingleObject(pi.hProcess, 5000);
  }
  ::GetExitCodeProcess(pi.hProcess, &run.code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  run.out = ReadFileBytes(io.File(L"out"));
  run.err += ReadFileBytes(io.File(L"err"));
  const std::wstring text = core::Utf8ToWide(run.out);
  for (std::size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    run.lines.push_back(text.substr(start, end - start));
  }
  return run;
}

}  // namespace fixture
