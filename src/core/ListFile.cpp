#include "core/ListFile.h"

#include "core/TextLines.h"
#include "core/Unicode.h"

namespace core {

std::vector<std::wstring> DecodeListFile(std::string_view bytes,
                                         const std::function<std::wstring(std::string_view)>& ansiToWide) {
  const auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  std::wstring text;
  if (startsWith("\xEF\xBB\xBF")) {
    text = Utf8ToWide(bytes.substr(3));
  } else if (startsWith("\xFF\xFE")) {
    text = Utf16ToWide(bytes.substr(2), false);
  } else if (startsWith("\xFE\xFF")) {
    text = Utf16ToWide(bytes.substr(2), true);
  } else if (!bytes.empty()) {
    text = ansiToWide(bytes);
  }
  return SplitLines(text);
}

std::string EncodeListFile(const std::vector<std::wstring>& lines,
                           const std::function<std::optional<std::string>(std::wstring_view)>& wideToAnsiLossless) {
  std::wstring text = JoinLines(lines);
  if (!lines.empty()) text += L"\r\n";  // the last line ends with a break too
  if (std::optional<std::string> ansi = wideToAnsiLossless(text)) return std::move(*ansi);
  return "\xEF\xBB\xBF" + WideToUtf8(text);
}

}  // namespace core
