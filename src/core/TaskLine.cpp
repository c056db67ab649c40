#include "core/TaskLine.h"

#include "core/NamedLines.h"

namespace core {

namespace {

constexpr wchar_t kQuote = L'"';
constexpr wchar_t kComma = L',';

// Codes 1 to 32: the blank and the control characters.
bool IsBlank(wchar_t c) { return c >= 1 && c <= 32; }

bool NeedsQuotes(std::wstring_view item) {
  for (wchar_t c : item) {
    if (IsBlank(c) || c == kComma || c == kQuote) return true;
  }
  return false;
}

std::wstring Quoted(std::wstring_view item) {
  std::wstring out(1, kQuote);
  for (wchar_t c : item) {
    out += c;
    if (c == kQuote) out += kQuote;
  }
  out += kQuote;
  return out;
}

}  // namespace

std::vector<std::wstring> SplitTaskLine(std::wstring_view line) {
  std::vector<std::wstring> items;
  size_t i = 0;
  const size_t n = line.size();
  auto skipBlanks = [&] {
    while (i < n && IsBlank(line[i])) ++i;
  };

  skipBlanks();
  while (i < n) {
    std::wstring item;
    if (line[i] == kQuote) {
      ++i;
      while (i < n) {
        if (line[i] == kQuote) {
          if (i + 1 < n && line[i + 1] == kQuote) {
            item += kQuote;
            i += 2;
            continue;
          }
          ++i;  // the closing quote
          break;
        }
        item += line[i++];
      }
    } else {
      const size_t start = i;
      while (i < n && !IsBlank(line[i]) && line[i] != kComma) ++i;
      item.assign(line.substr(start, i - start));
    }
    items.push_back(std::move(item));

    skipBlanks();
    if (i < n && line[i] == kComma) {
      ++i;
      if (i == n) items.emplace_back();
      skipBlanks();
    }
  }
  return items;
}

std::wstring JoinTaskLine(const std::vector<std::wstring>& items) {
  if (items.size() == 1 && items[0].empty()) return Quoted(L"");
  std::wstring line;
  for (size_t k = 0; k < items.size(); ++k) {
    if (k != 0) line += kComma;
    line += NeedsQuotes(items[k]) ? Quoted(items[k]) : items[k];
  }
  return line;
}

TaskItems TaskItems::FromLine(std::wstring_view line) {
  TaskItems result;
  result.items_ = SplitTaskLine(line);
  return result;
}

void TaskItems::Set(std::wstring_view key, std::wstring_view value) { SetNamedLine(items_, key, value); }

std::wstring TaskItems::Value(std::wstring_view key) const {
  const size_t at = FindNamedLine(items_, key);
  if (at == items_.size()) return {};
  return items_[at].substr(items_[at].find(L'=') + 1);
}

std::wstring TaskItems::ToLine() const { return JoinTaskLine(items_); }

}  // namespace core
