#pragma once
// A task line: comma-separated key=value items, each quoted where it must be.
//
// Reading follows the quoting that writing produces, and is total: every input gives some list of items.
//  - Blanks and control characters (codes 1 to 32) before and after an item are skipped.
//  - An item that starts with '"' runs to the closing quote; "" inside stands for one quote. Without a closing
//    quote the item runs to the end of the line. Text right after a closing quote (other than blanks and a
//    comma) starts the next item, so «"ab"cd» reads as two items, ab and cd.
//  - A bare item runs to the next comma, blank or control character; a blank therefore ends an item and what
//    follows it starts the next one.
//  - A comma at the very end of the line adds one empty item.
//  - The line ends where the text ends, not at a NUL: NUL (code 0) is an ordinary character, neither a blank nor
//    a separator, so nothing after it is dropped and an item holding it reads back as it was written.
// Writing quotes an item that contains a character of code 1 to 32, a comma or a double quote, and a single
// empty item (which would otherwise vanish); every list of items is read back unchanged from what is written,
// control characters CR and LF included (though a file of lines cannot hold those).
#include <string>
#include <string_view>
#include <vector>

namespace core {

std::vector<std::wstring> SplitTaskLine(std::wstring_view line);

std::wstring JoinTaskLine(const std::vector<std::wstring>& items);

// The items of one task, looked up by key without regard to letter case (see NamedLines.h).
class TaskItems {
 public:
  static TaskItems FromLine(std::wstring_view line);

  // Replaces the value of the first item carrying key, or appends "key=value". An empty value removes that item
  // instead, so a key with no value is never written.
  void Set(std::wstring_view key, std::wstring_view value);

  // The text after the first "=" of the first item whose part before its first "=" equals key; empty when no item
  // carries the key.
  std::wstring Value(std::wstring_view key) const;

  std::wstring ToLine() const;

  const std::vector<std::wstring>& Items() const { return items_; }

 private:
  std::vector<std::wstring> items_;
};

}  // namespace core
