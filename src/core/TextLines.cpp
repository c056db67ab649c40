#include "core/TextLines.h"

namespace core {

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wstring current;
  bool pendingLine = false;  // `current` holds a line that has not been stored yet
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines.push_back(std::move(current));
      current.clear();
      pendingLine = false;
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      current.push_back(c);
      pendingLine = true;
    }
  }
  if (pendingLine) lines.push_back(std::move(current));
  return lines;
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += L"\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace core
