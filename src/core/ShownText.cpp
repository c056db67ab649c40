#include "core/ShownText.h"

namespace core {

std::wstring ShownText(std::wstring_view text, std::size_t maxLength) {
  if (text.size() <= maxLength) return std::wstring(text);
  std::size_t kept = maxLength;
  if (kept > 0 && text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF) --kept;  // a high surrogate alone
  return std::wstring(text.substr(0, kept)) + L"\u2026 (" + std::to_wstring(text.size()) + L" characters)";
}

std::wstring NotShownCaption(std::size_t count) { return L"(" + std::to_wstring(count) + L" more not shown)"; }

}  // namespace core
