#include "app/ovSingleInstance.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <optional>
#include <vector>

#include "base/Handles.h"
#include "base/Paths.h"
#include "core/CaseFold.h"

namespace {

constexpr wchar_t kMainClass[] = L"TovFrmMain";
// The first copy may still be starting: its window is looked for this long, then this copy ends all the same.
constexpr ULONGLONG kFindWindowMs = 5000;
constexpr DWORD kPollMs = 50;

// What names one file however its path is spelt (letter case, short names, forward slashes, a link to its
// folder): the volume's serial number and the file's index on it.
struct FileIdentity {
  DWORD volume = 0;
  uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  const base::UniqueFile file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// Object names are bounded in length and take no backslash: the name carries the file's identity, or, when the
// system cannot tell it, a hash of the case-folded path.
std::wstring InstanceName(const std::wstring& path, const std::optional<FileIdentity>& identity) {
  wchar_t digits[40] = {};
  if (identity) {
    std::swprintf(digits, 40, L"%08lx.%016llx", static_cast<unsigned long>(identity->volume),
                  static_cast<unsigned long long>(identity->index));
  } else {
    uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
    for (const wchar_t c : path) {
      hash ^= static_cast<uint16_t>(core::FoldCase(c));
      hash *= 1099511628211ull;
    }
    std::swprintf(digits, 40, L"%016llx", static_cast<unsigned long long>(hash));
  }
  return L"Local\\Skimlet.Instance." + std::wstring(digits);
}

// The main window of another process started from the same file, hidden or not.
HWND FirstCopyWindow(const std::wstring& path, const std::optional<FileIdentity>& identity) {
  for (HWND window = ::FindWindowExW(nullptr, nullptr, kMainClass, nullptr); window;
       window = ::FindWindowExW(nullptr, window, kMainClass, nullptr)) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId()) continue;
    const std::wstring image = base::ProcessImagePath(process);
    if (identity ? IdentityOf(image) == identity : core::EqualsIgnoreCase(image, path)) return window;
  }
  return nullptr;
}

}  // namespace

bool HandOverToFirstCopy(const std::wstring& exeName) {
  const std::wstring& path = exeName;
  const std::optional<FileIdentity> identity = IdentityOf(path);
  // Held until the process ends, when the system closes it.
  const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, InstanceName(path, identity).c_str());
  if (!mutex || ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  ::CloseHandle(mutex);

  const ULONGLONG deadline = ::GetTickCount64() + kFindWindowMs;
  HWND first = FirstCopyWindow(path, identity);
  while (!first && ::GetTickCount64() < deadline) {
    ::Sleep(kPollMs);
    first = FirstCopyWindow(path, identity);
  }
  if (first) {
    // Asynchronous: a first copy that does not answer cannot hold this one up. Shown restored, as from the tray.
    ::ShowWindowAsync(first, SW_SHOWNORMAL);
    ::SetForegroundWindow(first);
  }
  return true;
}
