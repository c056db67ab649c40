#include "core/Wildcard.h"

#include "core/CaseFold.h"

namespace core {

namespace {

constexpr wchar_t kAnyRun = L'*';
constexpr wchar_t kAnyOne = L'?';

bool SameLetter(wchar_t a, wchar_t b) { return a == b || FoldCase(a) == FoldCase(b); }

}  // namespace

bool WildcardMatch(std::wstring_view pattern, std::wstring_view text) {
  // Greedy scan. On a mismatch only the most recent "*" needs to take one more character: whatever an earlier
  // "*" could still absorb, the later one can absorb as well, so retrying earlier stars never finds a match.
  constexpr size_t kNoStar = std::wstring_view::npos;
  size_t p = 0;
  size_t t = 0;
  size_t star = kNoStar;  // position of the last "*" seen in pattern
  size_t starText = 0;    // where in text the run of that "*" currently ends
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == kAnyRun) {
      star = p++;
      starText = t;
    } else if (p < pattern.size() && (pattern[p] == kAnyOne || SameLetter(pattern[p], text[t]))) {
      ++p;
      ++t;
    } else if (star != kNoStar) {
      p = star + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == kAnyRun) ++p;
  return p == pattern.size();
}

}  // namespace core
