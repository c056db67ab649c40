#include "support/Process.h"

#include <shellapi.h>

#include <vector>

#include "support/Poll.h"

namespace fixture {
namespace {

std::wstring FileNameOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

struct Search {
  DWORD process;
  const wchar_t* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) noexcept {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->process) return TRUE;
  if (search->visibleOnly && !::IsWindowVisible(window)) return TRUE;
  if (search->className && *search->className) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    if (::lstrcmpW(name, search->className) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD process, const wchar_t* className, bool visibleOnly) {
  Search search{process, className, visibleOnly, nullptr};
  ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool ShellHoldsIcon(HWND window, UINT id) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = id;
  data.uFlags = NIF_TIP;
  ::lstrcpynW(data.szTip, L"Skimlet", 64);
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring BuiltSkimletPath() {
  const std::wstring candidate = BuiltProductFolder() + L"skimlet.exe";
  return FileExists(candidate) ? candidate : std::wstring();
}

ChildProcess::~ChildProcess() {
  if (process_.hProcess) {
    if (Running()) {
      ::TerminateProcess(process_.hProcess, 1);
      ::WaitForSingleObject(process_.hProcess, 5000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
  }
}

bool ChildProcess::Place(const std::wstring& exe) {
  if (process_.hProcess || exe.empty()) return false;
  folder_.emplace(L"skimlet-child");
  exePath_ = folder_->File(FileNameOf(exe));
  if (::CopyFileW(exe.c_str(), exePath_.c_str(), FALSE)) return true;
  ReportFailure(L"cannot copy " + exe + L" to " + exePath_);
  return false;
}

bool ChildProcess::Launch(const std::wstring& arguments) {
  if (process_.hProcess || !folder_) return false;
  std::wstring commandLine = L"\"" + exePath_ + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(exePath_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_->Path().c_str(), &startup, &process_)) {
    process_ = {};
    ReportFailure(L"CreateProcess " + commandLine);
    return false;
  }
  ::WaitForInputIdle(process_.hProcess, 10000);
  return true;
}

bool ChildProcess::Running() const {
  return process_.hProcess && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND ChildProcess::FindWindowOfClass(const wchar_t* className) const {
  return FindProcessWindow(Id(), className);
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, int timeoutMs) const {
  HWND found = nullptr;
  PollUntil([&] { return (found = FindWindowOfClass(className)) != nullptr || !Running(); }, timeoutMs);
  return found;
}

std::optional<DWORD> ChildProcess::WaitForExit(int timeoutMs) const {
  if (!process_.hProcess) return std::nullopt;
  if (!PollUntil([&] { return !Running(); }, timeoutMs)) return std::nullopt;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

}  // namespace fixture
