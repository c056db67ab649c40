#pragma once
// The task and position-set files on disk: one entry per line, in the ANSI code page (UTF-8 with a byte-order mark
// when a line holds a character that the code page cannot), replaced in one step when saved.
#include <string>
#include <vector>

// The file's lines; a file that does not exist is an empty list. Throws base::Win32Error when the file exists but
// cannot be read (a folder, locked by another program, no access).
std::vector<std::wstring> LoadListFile(const std::wstring& path);

// Writes the whole list. The lines go to a temporary file beside it, which then replaces the old file in one step,
// so a failed save leaves the old file as it was; the failure is thrown as base::Win32Error.
void SaveListFile(const std::wstring& path, const std::vector<std::wstring>& lines);
