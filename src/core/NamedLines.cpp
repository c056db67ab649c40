#include "core/NamedLines.h"

#include "core/CaseFold.h"

namespace core {

std::size_t FindNamedLine(const std::vector<std::wstring>& lines, std::wstring_view name) {
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::wstring_view line = lines[k];
    const std::size_t eq = line.find(L'=');
    if (eq != std::wstring_view::npos && EqualsIgnoreCase(line.substr(0, eq), name)) return k;
  }
  return lines.size();
}

void SetNamedLine(std::vector<std::wstring>& lines, std::wstring_view name, std::wstring_view value) {
  const std::size_t at = FindNamedLine(lines, name);
  if (value.empty()) {
    if (at < lines.size()) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
    return;
  }
  std::wstring line = std::wstring(name) + L"=" + std::wstring(value);
  if (at < lines.size()) {
    lines[at] = std::move(line);
  } else {
    lines.push_back(std::move(line));
  }
}

}  // namespace core
