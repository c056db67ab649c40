#include "core/Paths.h"

namespace core {

namespace {
bool IsDelimiter(wchar_t c) { return c == L'\\' || c == L':'; }
}  // namespace

std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view ext) {
  for (size_t i = path.size(); i-- > 0;) {
    if (IsDelimiter(path[i])) break;
    if (path[i] == L'.') return std::wstring(path.substr(0, i)) + std::wstring(ext);
  }
  return std::wstring(path) + std::wstring(ext);
}

std::wstring ExtractFilePath(std::wstring_view path) {
  for (size_t i = path.size(); i-- > 0;) {
    if (IsDelimiter(path[i])) return std::wstring(path.substr(0, i + 1));
  }
  return {};
}

std::wstring ExtractFileName(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/:");
  return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

}  // namespace core
