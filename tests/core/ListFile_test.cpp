#include "core/ListFile.h"
#include "core/Unicode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace {

using Lines = std::vector<std::wstring>;

// Stand-in for the ANSI code page: Latin-1, which holds exactly the characters below U+0100.
std::wstring Latin1ToWide(std::string_view bytes) {
  std::wstring out;
  for (char c : bytes) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}
std::optional<std::string> WideToLatin1(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) {
    if (static_cast<uint32_t>(c) > 0xFF) return std::nullopt;
    out += static_cast<char>(c);
  }
  return out;
}

Lines Decode(std::string_view bytes) { return core::DecodeListFile(bytes, Latin1ToWide); }
std::string Encode(const Lines& lines) { return core::EncodeListFile(lines, WideToLatin1); }

// U+1F600 as the platform's wide text: a surrogate pair where wchar_t is 16 bits, one code point otherwise.
std::wstring Emoji() {
  if constexpr (sizeof(wchar_t) == 2) {
    return std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  } else {
    return std::wstring(1, static_cast<wchar_t>(0x1F600));
  }
}

TEST(DecodeListFile, SplitsLinesAndHonoursByteOrderMarks) {
  using namespace std::string_view_literals;
  struct Case { std::string_view bytes; Lines want; };
  const Case cases[] = {
      {""sv, {}},
      {"\r\n"sv, {L""}},
      {"a"sv, {L"a"}},
      {"a\r\nb\r\n"sv, {L"a", L"b"}},
      {"a\rb\nc\r\nd"sv, {L"a", L"b", L"c", L"d"}},
      {"a\n\rb"sv, {L"a", L"", L"b"}},               // LF then a lone CR: two breaks
      {"a\r\n\r\nb\r\n\r\n"sv, {L"a", L"", L"b", L""}},  // empty lines inside and before the last break
      {"\n\n"sv, {L"", L""}},
      {"dup\r\ndup\r\n"sv, {L"dup", L"dup"}},
      {"caf\xE9\r\n"sv, {L"caf\u00E9"}},             // no mark: the ANSI code page
      {"\xEF\xBB\xBF"sv, {}},
      {"\xEF\xBB\xBF" "caf\xC3\xA9\r\n\xD0\xB6"sv, {L"caf\u00E9", L"\u0436"}},
      {"\xFF\xFE" "a\0\r\0\n\0\x36\x04"sv, {L"a", L"\u0436"}},
      {"\xFE\xFF" "\0a\0\r\x04\x36"sv, {L"a", L"\u0436"}},
      {"\xFF\xFE"sv, {}},
      // Malformed text is replaced, not refused.
      {"\xEF\xBB\xBF" "a\xFF" "b\xC3"sv, {L"a\uFFFD" L"b\uFFFD"}},
      {"\xEF\xBB\xBF" "\xE2\x82" "A"sv, {L"\uFFFD" L"A"}},             // truncated sequence: one replacement
      {"\xEF\xBB\xBF" "\xC0\xAF\xED\xA0\x80"sv, {L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"}},  // overlong, surrogate
      {"\xFF\xFE" "a\0b"sv, {L"a\uFFFD"}},                              // odd byte count
      {"\xFF\xFE" "\x00\xD8" "a\0"sv, {L"\uFFFD" L"a"}},                // lone high surrogate
      {"\xFE\xFF" "\xDC\x00"sv, {L"\uFFFD"}},                           // lone low surrogate
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Decode(c.bytes), c.want) << testing::PrintToString(std::string(c.bytes));
  }
}

TEST(DecodeListFile, DecodesCharactersBeyondTheBasicPlane) {
  EXPECT_EQ(Decode("\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n"), Lines{Emoji()});
  EXPECT_EQ(Decode(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6)), Lines{Emoji()});
  EXPECT_EQ(Decode(std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6)), Lines{Emoji()});
}

TEST(DecodeListFile, SurvivesBinaryGarbage) {
  std::mt19937 random(12345);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(random() % 300, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    static const char* const kMarks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    bytes.insert(0, kMarks[round % 4]);
    const Lines lines = Decode(bytes);
    for (const std::wstring& line : lines) {
      for (wchar_t c : line) {
        EXPECT_NE(c, L'\r');
        EXPECT_NE(c, L'\n');
      }
    }
    // Whatever came in, writing it again and reading that back is stable.
    EXPECT_EQ(Decode(Encode(lines)), lines);
  }
}

TEST(EncodeListFile, WritesAnsiWhenLosslessElseUtf8WithMark) {
  EXPECT_EQ(Encode({}), "");
  EXPECT_EQ(Encode({L""}), "\r\n");
  EXPECT_EQ(Encode({L"Name=OK,Class=Button", L"", L"caf\u00E9"}), "Name=OK,Class=Button\r\n\r\ncaf\xE9\r\n");
  // One character outside the code page sends the whole file to UTF-8, the earlier lines too.
  EXPECT_EQ(Encode({L"caf\u00E9", L"\u0436"}), "\xEF\xBB\xBF" "caf\xC3\xA9\r\n\xD0\xB6\r\n");
  EXPECT_EQ(Encode({Emoji()}), "\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n");
}

TEST(EncodeListFile, RoundTrips) {
  const Lines samples[] = {
      {L"  100   50  800  600", L"123456   50  800  600"},
      {L"\"Name=Untitled - Editor\",Class=EditorWnd", L"", L"", L"x"},
      {L"\u0417\u0430\u0434\u0430\u0447\u0430", L"\u4efb\u52a1 " + Emoji(), L"caf\u00E9"},
      {L"dup", L"DUP", L"dup"},
      {std::wstring(1 << 20, L'q'), L"after"},
      {std::wstring(1 << 20, L'\u0436')},
  };
  for (const Lines& lines : samples) EXPECT_EQ(Decode(Encode(lines)), lines);
}

TEST(Utf8, ReplacesUnpairedSurrogatesWhenWriting) {
  if constexpr (sizeof(wchar_t) == 2) {
    EXPECT_EQ(core::WideToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD800), L'b'}), "a\xEF\xBF\xBD" "b");
  } else {
    EXPECT_EQ(core::WideToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000)}),
              "a\xEF\xBF\xBD\xEF\xBF\xBD");
  }
}

}  // namespace
