#include "support/SnapTestFiles.h"

#include "gui/Handles.h"

namespace snaptest {

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, base);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::wstring(base) + L"skimlet-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"\\";
    if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempFolder::~TempFolder() {
  for (const std::wstring& name : FileNames()) ::DeleteFileW((path_ + name).c_str());
  ::RemoveDirectoryW(path_.c_str());
}

std::vector<std::wstring> TempFolder::FileNames() const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileW((path_ + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return names;
}

std::optional<Bytes> ReadBytes(const std::wstring& path) {
  gui::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() && (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size())) {
    return std::nullopt;
  }
  return bytes;
}

bool WriteBytes(const std::wstring& path, const Bytes& bytes) {
  gui::UniqueFile file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return bytes.empty() ||
         (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
          written == bytes.size());
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring ProgramFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace snaptest
