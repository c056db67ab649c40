#include "core/Integers.h"

namespace core {

namespace {

constexpr uint64_t kMaxHex = 0xFFFFFFFFull;
constexpr uint64_t kMaxPositive = 0x7FFFFFFFull;
constexpr uint64_t kMaxNegative = 0x80000000ull;

std::optional<unsigned> DigitValue(wchar_t c, unsigned base) {
  unsigned v;
  if (c >= L'0' && c <= L'9') {
    v = static_cast<unsigned>(c - L'0');
  } else if (c >= L'a' && c <= L'f') {
    v = static_cast<unsigned>(c - L'a') + 10;
  } else if (c >= L'A' && c <= L'F') {
    v = static_cast<unsigned>(c - L'A') + 10;
  } else {
    return std::nullopt;
  }
  if (v >= base) return std::nullopt;
  return v;
}

// Length of the hexadecimal prefix at the start of text, or 0 when there is none.
size_t HexPrefixLength(std::wstring_view text) {
  if (text.starts_with(L"0x") || text.starts_with(L"0X")) return 2;
  if (text.starts_with(L'$') || text.starts_with(L'x') || text.starts_with(L'X')) return 1;
  return 0;
}

}  // namespace

std::optional<int32_t> ParseInt32(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  text.remove_prefix(i);

  bool negative = false;
  if (!text.empty() && (text[0] == L'+' || text[0] == L'-')) {
    negative = text[0] == L'-';
    text.remove_prefix(1);
  }

  const size_t prefix = HexPrefixLength(text);
  const unsigned base = prefix != 0 ? 16 : 10;
  text.remove_prefix(prefix);
  if (text.empty()) return std::nullopt;

  const uint64_t limit = base == 16 ? kMaxHex : (negative ? kMaxNegative : kMaxPositive);
  uint64_t value = 0;
  for (wchar_t c : text) {
    const std::optional<unsigned> digit = DigitValue(c, base);
    if (!digit) return std::nullopt;
    value = value * base + *digit;
    if (value > limit) return std::nullopt;
  }

  // Two's complement in unsigned arithmetic: well defined for every 32-bit pattern, including -(-2^31).
  uint32_t bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

int32_t ParseInt32Or0(std::wstring_view text) { return ParseInt32(text).value_or(0); }

}  // namespace core
