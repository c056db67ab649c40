#include "support/NestedTaskSearch.h"

namespace fixture {

namespace {

struct TTaskSearch {
  int32_t Levels = 0;
  HWND Found = nullptr;
  std::wstring ClassName;
  std::wstring WindowName;
};
TTaskSearch* TaskSearch = nullptr;

// The callback's one parameter carries the remaining level count, so the record is reached through TaskSearch.
BOOL CALLBACK TaskEnumProc(HWND window, LPARAM remaining) {
  if (TaskSearch->Found) return TRUE;
  if (remaining == 0) {
    TaskSearch->Found =
        ::FindWindowExW(window, nullptr, TaskSearch->ClassName.c_str(), TaskSearch->WindowName.c_str());
    return TaskSearch->Found ? FALSE : TRUE;
  }
  ::EnumChildWindows(window, TaskEnumProc, remaining - 1);
  return TRUE;
}

}  // namespace

HWND NestedTaskSearch(HWND top, int32_t levels, const std::wstring& className, const std::wstring& windowName) {
  if (levels == 0) return ::FindWindowExW(top, nullptr, className.c_str(), windowName.c_str());
  TTaskSearch search{levels, nullptr, className, windowName};
  TaskSearch = &search;
  TaskEnumProc(top, levels);
  TaskSearch = nullptr;
  return search.Found;
}

}  // namespace fixture
