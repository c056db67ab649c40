#pragma once
// A position set's line: left, top, width and height texts, each right-aligned in five characters.
#include <array>
#include <string>
#include <string_view>

namespace core {

// Each text padded on the left with spaces to five characters; a longer text is kept whole (and so shifts the
// fields after it). Lengths count UTF-16 code units on Windows, which is what the edit boxes hold.
std::wstring FormatSetLine(std::wstring_view left, std::wstring_view top, std::wstring_view width,
                           std::wstring_view height);

// The four fields by position: characters 1-5, 6-10, 11-15 and 16-20, unchanged (leading spaces kept). A field
// past the end of the line is shorter or empty; characters after the 20th are ignored.
std::array<std::wstring, 4> SplitSetLine(std::wstring_view line);

}  // namespace core
