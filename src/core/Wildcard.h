#pragma once
// Wildcard patterns for window titles and class names, compared without regard to letter case (see CaseFold.h).
#include <string_view>

namespace core {

// Whether pattern describes the whole of text: "*" stands for any run of characters (none included), "?" for
// exactly one, every other character for itself up to letter case. There is no escape, so a literal "*" or "?"
// is matched by the wildcard itself. Characters are code units: on Windows a character outside the Basic
// Multilingual Plane takes two "?". The work is bounded by the product of the two lengths (no backtracking beyond
// the last "*"), so a hostile title cannot make a match slow.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view text);

}  // namespace core
