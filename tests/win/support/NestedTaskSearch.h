#pragma once
// The levelled task search written as nested enumerations: each level enumerates all descendants of each window
// the level above reached. Its cost grows with the number of descendants to the power of the level count; it is
// kept as the reference that FindTaskWindow must agree with (tests) and be measured against (benchmark).
#include <windows.h>

#include <cstdint>
#include <string>

namespace fixture {

HWND NestedTaskSearch(HWND top, int32_t levels, const std::wstring& className, const std::wstring& windowName);

}  // namespace fixture
