#include "core/WindowCriteria.h"

#include "core/CaseFold.h"
#include "core/Wildcard.h"

namespace core {

bool MatchesCriteria(const WindowFacts& window, const Criteria& criteria) {
  if (criteria.handle && *criteria.handle != window.handle) return false;
  if (criteria.title && !WildcardMatch(*criteria.title, window.title)) return false;
  if (criteria.className && !WildcardMatch(*criteria.className, window.className)) return false;
  if (criteria.exeName && !EqualsIgnoreCase(*criteria.exeName, window.exeName)) return false;
  return true;
}

}  // namespace core
