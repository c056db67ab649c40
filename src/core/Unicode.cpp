#include "core/Unicode.h"

namespace core {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

// Surrogate code points and values beyond Unicode's range are not characters: they become U+FFFD.
char32_t ScalarOrReplacement(char32_t cp) {
  return cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? kReplacement : cp;
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
  cp = ScalarOrReplacement(cp);
  if (kWideIsUtf16 && cp >= 0x10000) {
    cp -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (cp >> 10));
    out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<wchar_t>(cp);
  }
}

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::wstring Utf16ToWide(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2 + 1);
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? char32_t(b0 << 8 | b1) : char32_t(b1 << 8 | b0);
  };
  const std::size_t units = bytes.size() / 2;
  for (std::size_t k = 0; k < units; ++k) {
    const char32_t u = unit(2 * k);
    if (IsHighSurrogate(u) && k + 1 < units && IsLowSurrogate(unit(2 * k + 2))) {
      AppendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (unit(2 * k + 2) - 0xDC00));
      ++k;
    } else {
      AppendCodePoint(out, u);  // a lone surrogate becomes U+FFFD there
    }
  }
  if (bytes.size() % 2 != 0) AppendCodePoint(out, kReplacement);  // a half code unit at the end
  return out;
}

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  cp = ScalarOrReplacement(cp);
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  while (i < n) {
    const unsigned char b = at(i);
    if (b < 0x80) {
      out += static_cast<wchar_t>(b);
      ++i;
      continue;
    }
    // Sequence length and the allowed range of the second byte (rejects overlong forms and surrogates).
    int length = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3, cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4, cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    // The longest valid prefix of a broken sequence is replaced by one U+FFFD.
    std::size_t k = i + 1;
    bool ok = true;
    for (int j = 1; j < length; ++j, ++k) {
      if (k >= n) { ok = false; break; }
      const unsigned char c = at(k);
      const unsigned char low = j == 1 ? lo : 0x80, high = j == 1 ? hi : 0xBF;
      if (c < low || c > high) { ok = false; break; }
      cp = (cp << 6) | (c & 0x3F);
    }
    AppendCodePoint(out, ok ? cp : kReplacement);
    i = k;
  }
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = static_cast<char32_t>(text[i]);
    if (kWideIsUtf16) {
      cp &= 0xFFFF;
      if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(char32_t(text[i + 1]) & 0xFFFF)) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + ((char32_t(text[i + 1]) & 0xFFFF) - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace core
