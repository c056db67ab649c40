#include "base/Paths.h"

#include "base/Handles.h"

namespace base {

std::wstring ModulePath(HMODULE module) {
  // The buffer grows until the whole path fits: paths longer than MAX_PATH are common with "\\?\" prefixes.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    // A path that fills the buffer was cut; at the longest path it stays cut.
    if (length < path.size() || path.size() >= kMaxPathLength) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring ProcessImagePath(DWORD processId) {
  const UniqueHandleObject process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = static_cast<DWORD>(path.size());
    if (::QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) {
      path.resize(length);
      return path;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= kMaxPathLength) return {};
    path.resize(path.size() * 2);
  }
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace base
