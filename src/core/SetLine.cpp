#include "core/SetLine.h"

namespace core {

namespace {

constexpr size_t kFieldWidth = 5;

std::wstring RightAligned(std::wstring_view text) {
  std::wstring field;
  if (text.size() < kFieldWidth) field.assign(kFieldWidth - text.size(), L' ');
  field += text;
  return field;
}

}  // namespace

std::wstring FormatSetLine(std::wstring_view left, std::wstring_view top, std::wstring_view width,
                           std::wstring_view height) {
  return RightAligned(left) + RightAligned(top) + RightAligned(width) + RightAligned(height);
}

std::array<std::wstring, 4> SplitSetLine(std::wstring_view line) {
  std::array<std::wstring, 4> fields;
  for (size_t i = 0; i < fields.size(); ++i) {
    const size_t start = i * kFieldWidth;
    if (start < line.size()) fields[i] = std::wstring(line.substr(start, kFieldWidth));
  }
  return fields;
}

}  // namespace core
