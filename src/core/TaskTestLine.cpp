#include "core/TaskTestLine.h"

#include "core/ConsoleFormat.h"

namespace core {

std::wstring FormatTaskTestLine(std::size_t lineNumber, std::wstring_view line, std::optional<uint32_t> handle,
                                std::wstring_view title) {
  std::wstring text = std::to_wstring(lineNumber) + L": " + OneLine(line) + L" -> ";
  if (!handle) return text + L"no window";
  return text + FormatHandle(*handle) + L" \"" + OneLine(title) + L"\"";
}

}  // namespace core
