#include "core/HintText.h"

namespace core {

HintParts SplitHint(std::wstring_view hint) {
  const std::size_t bar = hint.find(L'|');
  if (bar == std::wstring_view::npos) return {std::wstring(hint), {}};
  return {std::wstring(hint.substr(0, bar)), std::wstring(hint.substr(bar + 1))};
}

}  // namespace core
