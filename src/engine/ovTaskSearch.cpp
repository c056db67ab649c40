#include "engine/ovTaskSearch.h"

#include <vector>

namespace {

struct Walk {
  HWND top;
  int32_t levels;
  const std::wstring* className;
  const std::wstring* windowName;
  std::vector<HWND> path;  // ancestors of the current window below top, outermost first
  HWND found = nullptr;
};

// The window's level below top, from the ancestors of the previous window (the enumeration is pre-order, so the
// parent is on the path unless the tree changed during the walk; then it is counted afresh).
int32_t LevelOf(Walk& walk, HWND window) {
  const HWND parent = ::GetAncestor(window, GA_PARENT);
  while (!walk.path.empty() && walk.path.back() != parent) walk.path.pop_back();
  if (walk.path.empty() && parent != walk.top) {
    std::vector<HWND> chain;
    for (HWND p = parent; p && p != walk.top; p = ::GetAncestor(p, GA_PARENT)) chain.push_back(p);
    walk.path.assign(chain.rbegin(), chain.rend());
  }
  walk.path.push_back(window);
  return static_cast<int32_t>(walk.path.size());
}

BOOL CALLBACK VisitDescendant(HWND window, LPARAM param) noexcept {
  auto& walk = *reinterpret_cast<Walk*>(param);
  try {
    if (LevelOf(walk, window) < walk.levels) return TRUE;
    walk.found = ::FindWindowExW(window, nullptr, walk.className->c_str(), walk.windowName->c_str());
    return walk.found ? FALSE : TRUE;
  } catch (...) {
    return FALSE;  // out of memory: stop with what was found (nothing)
  }
}

}  // namespace

HWND FindTaskWindow(HWND top, int32_t levels, const std::wstring& className, const std::wstring& windowName) {
  if (levels < 0) return nullptr;
  if (levels == 0) return ::FindWindowExW(top, nullptr, className.c_str(), windowName.c_str());
  Walk walk{top, levels, &className, &windowName, {}};
  ::EnumChildWindows(top, VisitDescendant, reinterpret_cast<LPARAM>(&walk));
  return walk.found;
}
