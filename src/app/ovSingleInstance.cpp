#include "app/ovSingleInstance.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <vector>

#include "base/Paths.h"
#include "core/CaseFold.h"

namespace {

constexpr wchar_t kMainClass[] = L"TovFrmMain";
// The first copy may still be starting: its window is looked for this long, then this copy ends all the same.
constexpr ULONGLONG kFindWindowMs = 5000;
constexpr DWORD kPollMs = 50;

// Short (8.3) folder names in the path are written out, so that both spellings of one path agree.
std::wstring LongPath(const std::wstring& path) {
  std::vector<wchar_t> buffer(base::kMaxPathLength);
  const DWORD length = ::GetLongPathNameW(path.c_str(), buffer.data(), base::kMaxPathLength);
  if (length == 0 || length >= base::kMaxPathLength) return path;
  return std::wstring(buffer.data(), length);
}

// Object names are bounded in length and take no backslash: the name carries a hash of the case-folded path.
std::wstring InstanceName(const std::wstring& path) {
  uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
  for (const wchar_t c : path) {
    hash ^= static_cast<uint16_t>(core::FoldCase(c));
    hash *= 1099511628211ull;
  }
  wchar_t digits[17] = {};
  std::swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(hash));
  return L"Local\\Skimlet.Instance." + std::wstring(digits);
}

// The main window of another process started from `path`, hidden or not.
HWND FirstCopyWindow(const std::wstring& path) {
  for (HWND window = ::FindWindowExW(nullptr, nullptr, kMainClass, nullptr); window;
       window = ::FindWindowExW(nullptr, window, kMainClass, nullptr)) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId() && core::EqualsIgnoreCase(LongPath(base::ProcessImagePath(process)), path)) {
      return window;
    }
  }
  return nullptr;
}

}  // namespace

bool HandOverToFirstCopy(const std::wstring& exeName) {
  const std::wstring path = LongPath(exeName);
  // Held until the process ends, when the system closes it.
  const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, InstanceName(path).c_str());
  if (!mutex || ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  ::CloseHandle(mutex);

  const ULONGLONG deadline = ::GetTickCount64() + kFindWindowMs;
  HWND first = FirstCopyWindow(path);
  while (!first && ::GetTickCount64() < deadline) {
    ::Sleep(kPollMs);
    first = FirstCopyWindow(path);
  }
  if (first) {
    // Asynchronous: a first copy that does not answer cannot hold this one up. Shown restored, as from the tray.
    ::ShowWindowAsync(first, SW_SHOWNORMAL);
    ::SetForegroundWindow(first);
  }
  return true;
}
