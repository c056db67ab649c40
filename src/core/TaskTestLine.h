#pragma once
// What "Test tasks" shows for each task line: the window the line names now, without acting on it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// `N: <line> -> 0xHANDLE "title"`, or `N: <line> -> no window` when handle is empty. N counts from 1; control
// characters in the line and the title are shown as spaces.
std::wstring FormatTaskTestLine(std::size_t lineNumber, std::wstring_view line, std::optional<uint32_t> handle,
                                std::wstring_view title);

}  // namespace core
