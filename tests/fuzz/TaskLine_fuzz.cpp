// Fuzzes the task-line reader and writer (and the integer syntax that reads task values).
// Input bytes are taken two at a time as UTF-16 code units, as the lines are on Windows.
//  - Reading any line must not crash or hang, and reading is a fixed point of writing:
//    Split(Join(Split(x))) == Split(x).
//  - For an item list built from the input (items separated by the code unit 0xFFFF), Split(Join(items)) == items.
//  - A key found in the read items keeps its value through a TaskItems round trip.
//  - An integer that parses prints back to the same value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Integers.h"
#include "core/TaskLine.h"

namespace {

constexpr wchar_t kItemBreak = 0xFFFF;

void Check(bool condition) {
  if (!condition) std::abort();
}

std::wstring ToText(const uint8_t* data, size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  return text;
}

std::vector<std::wstring> ToItems(const std::wstring& text) {
  std::vector<std::wstring> items(1);
  for (wchar_t c : text) {
    if (c == kItemBreak) {
      items.emplace_back();
    } else {
      items.back() += c;
    }
  }
  return items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = ToText(data, size);

  const std::vector<std::wstring> read = core::SplitTaskLine(text);
  Check(core::SplitTaskLine(core::JoinTaskLine(read)) == read);

  const std::vector<std::wstring> items = ToItems(text);
  Check(core::SplitTaskLine(core::JoinTaskLine(items)) == items);

  const core::TaskItems task = core::TaskItems::FromLine(text);
  for (const std::wstring& item : task.Items()) {
    const size_t eq = item.find(L'=');
    if (eq == std::wstring::npos) continue;
    const std::wstring key = item.substr(0, eq);
    const std::wstring value = task.Value(key);
    core::TaskItems copy;
    copy.Set(key, value);
    Check(core::TaskItems::FromLine(copy.ToLine()).Value(key) == value);
  }

  if (const auto number = core::ParseInt32(text)) {
    Check(core::ParseInt32(std::to_wstring(*number)) == number);
  }
  return 0;
}
