#pragma once
// The product record and the vendor's addresses: fixed values, read by the about window, the links and the
// application title.
#include <string_view>

namespace core::product {

inline constexpr std::wstring_view kName = L"skimlet";  // internal name; web addresses carry it
inline constexpr std::wstring_view kTitle = L"Skimlet";
inline constexpr std::wstring_view kVersion = L"2024.16.511.3038";

// No trailing "/": paths are appended to it.
inline constexpr std::wstring_view kWebRoot = L"http://skimlet.example.org";
inline constexpr std::wstring_view kSupportMail = L"support@skimlet.example.org";

}  // namespace core::product
