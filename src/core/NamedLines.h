#pragma once
// Lists of "name=value" texts, looked up by name without regard to letter case (see CaseFold.h): the information
// memo's lines and a task's items.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Index of the first line whose name (the text before its first "=") equals name, or lines.size() when none does.
// A line without "=" has no name.
std::size_t FindNamedLine(const std::vector<std::wstring>& lines, std::wstring_view name);

// Sets the value of the first line named name, or appends "name=value" when there is no such line. An empty value
// removes that line instead, so a name with no value is never written.
void SetNamedLine(std::vector<std::wstring>& lines, std::wstring_view name, std::wstring_view value);

}  // namespace core
