#pragma once
// Bytes of the two list files (tasks, position sets) to lines of text and back.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A leading byte-order mark selects UTF-16 LE, UTF-16 BE or UTF-8 and is skipped; without one the bytes are in the
// ANSI code page and ansiToWide decodes them. CR LF, a lone CR and a lone LF each end a line; a break at the very
// end adds no empty line. Malformed UTF-8 or UTF-16 becomes U+FFFD, never an error.
std::vector<std::wstring> DecodeListFile(std::string_view bytes,
                                         const std::function<std::wstring(std::string_view)>& ansiToWide);

// Every line followed by CR LF. The ANSI code page without a mark when wideToAnsiLossless converts all of the text;
// when it cannot (nullopt), UTF-8 with a byte-order mark, so that no character is lost.
std::string EncodeListFile(const std::vector<std::wstring>& lines,
                           const std::function<std::optional<std::string>(std::wstring_view)>& wideToAnsiLossless);

}  // namespace core
