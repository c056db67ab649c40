#pragma once
// Conversions between UTF-8, UTF-16 bytes and our wide text, shared by the list files and error messages.
// wchar_t holds UTF-16 where it is 16 bits wide (Windows) and code points where it is 32 bits wide. Malformed input
// becomes U+FFFD, never an error.
#include <string>
#include <string_view>

namespace core {

std::wstring Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::wstring_view text);
// UTF-16 given as bytes, little- or big-endian; an odd last byte becomes U+FFFD.
std::wstring Utf16ToWide(std::string_view bytes, bool bigEndian);

}  // namespace core
