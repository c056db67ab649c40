#pragma once
// The text of a balloon hint: "title|text" shows the part before the first bar as the balloon's bold title and
// the rest as its text; a hint without a bar is a title alone.
#include <string>
#include <string_view>

namespace core {

struct HintParts {
  std::wstring title;
  std::wstring text;
  bool operator==(const HintParts&) const = default;
};

// Splits a hint at its first bar: before it the title, after it the text; no bar: all of it is the title.
HintParts SplitHint(std::wstring_view hint);

}  // namespace core
