#pragma once
// Texts that another program controls (a window's title, a line of a list file) can be of any length. Where the
// program shows one (the information memo, a menu caption) it shows a bounded start of it and says that it was cut
// and how long the whole text is; the whole text stays where it is matched or stored.
#include <cstddef>
#include <string>
#include <string_view>

namespace core {

// The most of a title that the information memo shows.
inline constexpr std::size_t kMemoTitleLength = 4000;
// The most of a text that a menu caption shows: wider captions are no longer readable, and a caption of a few
// megabytes makes the menu unusable.
inline constexpr std::size_t kMenuTextLength = 120;

// `text` itself when it has at most `maxLength` characters; otherwise its first `maxLength` characters (one fewer
// when a surrogate pair would be split), then "… (N characters)" with N the whole text's length.
std::wstring ShownText(std::wstring_view text, std::size_t maxLength);

// The caption of the disabled last entry of a menu that shows only part of a list: "(N more not shown)".
std::wstring NotShownCaption(std::size_t count);

}  // namespace core
