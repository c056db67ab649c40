#pragma once
// Paths the system knows: the program's own file, a process's image, whether a file is there.
#include <windows.h>

#include <string>

namespace base {

// The longest path the system's wide-character interfaces take, terminator included.
inline constexpr DWORD kMaxPathLength = 32768;

// The full path of a loaded module (nullptr: the program), however long; empty when the system cannot tell.
std::wstring ModulePath(HMODULE module);

// The full path of a process's image, read with the least access that allows it; empty when the process cannot be
// opened (gone, or protected).
std::wstring ProcessImagePath(DWORD processId);

// Whether a file (not a folder) exists at `path`.
bool FileExists(const std::wstring& path);

}  // namespace base
