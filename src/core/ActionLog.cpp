#include "core/ActionLog.h"

#include "core/ConsoleFormat.h"
#include "core/Unicode.h"

namespace core {

namespace {

// value in decimal, zero-padded on the left to `digits` characters.
std::string Padded(int value, std::size_t digits) {
  std::string text = std::to_string(value);
  if (text.size() < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

}  // namespace

std::string FormatActionLogLine(const ActionLogEntry& entry) {
  const LocalTime& t = entry.time;
  std::string line = Padded(t.year, 4) + "-" + Padded(t.month, 2) + "-" + Padded(t.day, 2) + " " + Padded(t.hour, 2) +
                     ":" + Padded(t.minute, 2) + ":" + Padded(t.second, 2) + "." + Padded(t.millisecond, 3);
  line += "\t" + WideToUtf8(OneLine(entry.action));
  line += "\tline " + std::to_string(entry.lineNumber);
  line += "\t" + WideToUtf8(FormatHandle(entry.handle));
  line += "\t" + WideToUtf8(OneLine(entry.imageName));
  line += "\t" + WideToUtf8(OneLine(entry.className));
  line += "\t" + WideToUtf8(OneLine(entry.title));
  line += "\r\n";
  return line;
}

std::string KeepNewerHalf(std::string_view log) {
  const std::size_t middle = log.size() / 2;
  if (middle == 0 || log[middle - 1] == '\n') return std::string(log.substr(middle));
  const std::size_t lineEnd = log.find('\n', middle);
  if (lineEnd != std::string_view::npos && lineEnd + 1 < log.size()) return std::string(log.substr(lineEnd + 1));
  // The last line began in the older half: it is all there is of the newer one, so it is kept whole.
  const std::size_t lastStart = log.rfind('\n', middle - 1);
  return std::string(log.substr(lastStart == std::string_view::npos ? 0 : lastStart + 1));
}

std::string OnLineOfItsOwn(std::string_view logEnd, std::string_view lines) {
  std::string bytes = logEnd.empty() || logEnd.back() == '\n' ? std::string() : std::string("\r\n");
  return bytes.append(lines);
}

}  // namespace core
