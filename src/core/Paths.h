#pragma once
// Names of the companion files that live beside the executable.
#include <string>
#include <string_view>

namespace core {

// Replaces the extension of a path: the text from the last "." that comes after the last "\" or ":".
// A name without such a dot gets the new extension appended.
std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view ext);

// The folder part of a path, up to and including the last "\" or ":" (empty when there is none).
std::wstring ExtractFilePath(std::wstring_view path);

// The file name of a path: what follows the last "\", "/" or ":" (the whole path when there is none).
std::wstring ExtractFileName(std::wstring_view path);

}  // namespace core
