#include "engine/ovWindowFacts.h"

#include "base/Paths.h"
#include "core/Paths.h"
#include "engine/ovTargetText.h"
#include "engine/ovTaskAction.h"
#include "engine/ovWindowNames.h"

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) noexcept {
  auto* windows = reinterpret_cast<std::vector<HWND>*>(data);
  if (windows->size() >= kMaxListedWindows) return FALSE;
  try {
    windows->push_back(window);
  } catch (...) {
    return FALSE;  // out of memory: the list stops here
  }
  return TRUE;
}

bool Meets(HWND window, const core::Criteria& criteria) {
  return core::MatchesCriteria(ReadWindowFacts(window), criteria);
}

}  // namespace

uint32_t WindowHandleBits(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }

HWND WindowFromBits(uint32_t bits) {
  // Handles are sign-extended from their 32 bits, as the system does when a 32-bit program passes one on.
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(bits)));
}

core::WindowFacts ReadWindowFacts(HWND window) {
  core::WindowFacts facts;
  facts.handle = WindowHandleBits(window);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  facts.processId = processId;
  facts.exeName = core::ExtractFileName(base::ProcessImagePath(processId));
  facts.className = WindowClassName(window);
  facts.title = BoundedWindowTitle(window);
  RECT rect{};
  if (::GetWindowRect(window, &rect)) facts.rect = {rect.left, rect.top, rect.right, rect.bottom};
  return facts;
}

core::WindowDetails ReadWindowDetails(const TovWinUtils& target) {
  const HWND window = target.Wnd;
  core::WindowDetails details;
  DWORD processId = 0;
  details.threadId = ::GetWindowThreadProcessId(window, &processId);
  details.imagePath = base::ProcessImagePath(processId);
  // A top-level window's parent is the desktop; GetParent would name its owner instead.
  const bool child = (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0;
  details.parent = child ? WindowHandleBits(::GetAncestor(window, GA_PARENT)) : 0;
  details.owner = WindowHandleBits(::GetWindow(window, GW_OWNER));
  details.dpi = ::GetDpiForWindow(window);
  details.taskLine = MakeTaskLine(target).Line;
  return details;
}

std::vector<HWND> TopLevelWindows(bool withHidden) {
  std::vector<HWND> all;
  ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&all));
  if (withHidden) return all;
  std::vector<HWND> visible;
  for (HWND window : all) {
    if (::IsWindowVisible(window)) visible.push_back(window);
  }
  return visible;
}

std::vector<HWND> DescendantWindows(HWND window) {
  std::vector<HWND> descendants;
  ::EnumChildWindows(window, &CollectWindow, reinterpret_cast<LPARAM>(&descendants));
  return descendants;
}

std::vector<HWND> MatchingWindows(const core::Criteria& criteria) {
  std::vector<HWND> named;
  if (criteria.task) {
    named.push_back(FindTaskTarget(*criteria.task).Window);
  } else if (criteria.handle) {
    named.push_back(WindowFromBits(*criteria.handle));
  }
  if (!named.empty()) {
    if (!named.front() || !::IsWindow(named.front()) || !Meets(named.front(), criteria)) return {};
    return named;
  }

  std::vector<HWND> visible;
  std::vector<HWND> hidden;
  for (HWND window : TopLevelWindows(true)) {
    if (!Meets(window, criteria)) continue;
    (::IsWindowVisible(window) ? visible : hidden).push_back(window);
  }
  visible.insert(visible.end(), hidden.begin(), hidden.end());
  return visible;
}
