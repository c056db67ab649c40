#pragma once
// Splitting text into lines and joining them back (CR LF between lines): a text box's lines, a list file's lines.
#include <string>
#include <vector>

namespace core {

// Lines of `text`, broken at CR LF, LF or a lone CR. An empty text has no lines; a break at the very end adds no
// empty last line.
std::vector<std::wstring> SplitLines(const std::wstring& text);

// The lines with CR LF between them and none after the last.
std::wstring JoinLines(const std::vector<std::wstring>& lines);

}  // namespace core
