#include "core/ConsoleFormat.h"

#include <nlohmann/json.hpp>

#include "core/TaskLine.h"
#include "core/ElementText.h"
#include "core/Unicode.h"

namespace core {

namespace {

using Json = nlohmann::ordered_json;

constexpr wchar_t kTab = L'\t';

bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// value in decimal, zero-padded on the left to digits characters.
std::wstring Padded(int value, size_t digits) {
  std::wstring text = std::to_wstring(value);
  if (text.size() < digits) text.insert(0, digits - text.size(), L'0');
  return text;
}

Json WindowJson(const WindowFacts& window) {
  const Rect& r = window.rect;
  return Json{
      {"handle", WideToUtf8(FormatHandle(window.handle))},
      {"pid", window.processId},
      {"exe", WideToUtf8(window.exeName)},
      {"class", WideToUtf8(window.className)},
      {"title", WideToUtf8(window.title)},
      {"rect", Json{{"left", r.left}, {"top", r.top}, {"right", r.right}, {"bottom", r.bottom}}},
  };
}

std::string Dump(const Json& json) { return json.dump(2); }

}  // namespace

std::wstring OneLine(std::wstring_view text) {
  std::wstring line(text);
  for (wchar_t& c : line) {
    if (IsControl(c)) c = L' ';
  }
  return line;
}

std::wstring FormatHandle(uint32_t handle) {
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text = L"0x00000000";
  for (size_t k = text.size(); k > 2; --k, handle >>= 4) text[k - 1] = kDigits[handle & 0xF];
  return text;
}

std::wstring FormatRectEdges(const Rect& rect) {
  return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," + std::to_wstring(rect.right) + L"," +
         std::to_wstring(rect.bottom);
}

std::wstring FormatListLine(const WindowFacts& window) {
  return FormatHandle(window.handle) + kTab + std::to_wstring(window.processId) + kTab + OneLine(window.exeName) +
         kTab + OneLine(window.className) + kTab + OneLine(window.title) + kTab + FormatRectEdges(window.rect);
}

std::string FormatListJson(const std::vector<WindowFacts>& windows) {
  Json list = Json::array();
  for (const WindowFacts& window : windows) list.push_back(WindowJson(window));
  return Dump(list);
}

std::vector<std::wstring> BuildInfoOutput(const std::vector<std::wstring>& panelLines, const WindowFacts& window,
                                          const WindowDetails& details) {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : panelLines) lines.push_back(OneLine(line));
  lines.push_back(L"Process=" + std::to_wstring(window.processId) + L" " + OneLine(details.imagePath));
  lines.push_back(L"Thread=" + std::to_wstring(details.threadId));
  lines.push_back(L"Parent=" + FormatHandle(details.parent));
  lines.push_back(L"Owner=" + FormatHandle(details.owner));
  lines.push_back(L"Rect=" + FormatRectEdges(window.rect));
  lines.push_back(L"Dpi=" + std::to_wstring(details.dpi));
  lines.push_back(L"Task=" + OneLine(details.taskLine));
  return lines;
}

std::string FormatInfoJson(const std::vector<std::wstring>& panelLines, const WindowFacts& window,
                           const WindowDetails& details) {
  Json info = WindowJson(window);
  info["path"] = WideToUtf8(details.imagePath);
  info["thread"] = details.threadId;
  info["parent"] = WideToUtf8(FormatHandle(details.parent));
  info["owner"] = WideToUtf8(FormatHandle(details.owner));
  info["dpi"] = details.dpi;
  info["task"] = WideToUtf8(details.taskLine);
  Json panel = Json::array();
  for (const std::wstring& line : panelLines) panel.push_back(WideToUtf8(line));
  info["panel"] = std::move(panel);
  return Dump(info);
}

std::wstring DescribeTaskAction(const TaskDescription& task, bool windowEnabled) {
  // The runner's order of decisions: an element is clicked when it is there; a key is sent whatever the window;
  // otherwise top-level windows are closed and child windows clicked only when enabled.
  if (task.IsElement()) return windowEnabled ? L"click" : L"nothing: no element";
  switch (task.Action()) {
    case TaskAction::Key: return L"key " + std::to_wstring(task.key);
    case TaskAction::Close: return L"close";
    case TaskAction::Click: break;
  }
  return windowEnabled ? L"click" : L"nothing: disabled";
}

std::wstring FormatTaskDryRunLine(size_t lineNumber, std::wstring_view line, const TaskDescription& task,
                                  const WindowFacts* window, bool windowEnabled) {
  std::wstring text = std::to_wstring(lineNumber) + kTab + OneLine(JoinTaskLine(SplitTaskLine(line))) + kTab;
  if (!window) return text + L"no window";
  return text + FormatListLine(*window) + kTab + DescribeTaskAction(task, windowEnabled);
}

std::optional<std::wstring> PickSnapshotFileName(const LocalTime& time, bool bmp,
                                                 const std::function<bool(const std::wstring&)>& exists) {
  const std::wstring base = L"skimlet-" + Padded(time.year, 4) + Padded(time.month, 2) + Padded(time.day, 2) + L"-" +
                            Padded(time.hour, 2) + Padded(time.minute, 2) + Padded(time.second, 2);
  const std::wstring extension = bmp ? L".bmp" : L".png";
  for (int n = 1; n <= kMaxSnapshotNames; ++n) {
    std::wstring name = base + (n == 1 ? std::wstring() : L"-" + std::to_wstring(n)) + extension;
    if (!exists(name)) return name;
  }
  return std::nullopt;
}

}  // namespace core
