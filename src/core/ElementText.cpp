#include "core/ElementText.h"

#include <nlohmann/json.hpp>

#include "core/CaseFold.h"
#include "core/ConsoleFormat.h"
#include "core/Unicode.h"

namespace core {

namespace {

using Json = nlohmann::ordered_json;

Json ElementObject(const ElementFacts& element) {
  Json states = Json::array();
  for (const std::wstring& state : element.states) states.push_back(WideToUtf8(state));
  const Rect& r = element.bounds;
  return Json{
      {"name", WideToUtf8(element.name)},
      {"role", WideToUtf8(element.role)},
      {"state", std::move(states)},
      {"value", WideToUtf8(element.value)},
      {"bounds", Json{{"left", r.left}, {"top", r.top}, {"right", r.right}, {"bottom", r.bottom}}},
      {"action", WideToUtf8(element.action)},
      {"window", WideToUtf8(FormatHandle(element.host))},
  };
}

std::wstring JoinStates(const std::vector<std::wstring>& states) {
  std::wstring text;
  for (const std::wstring& state : states) {
    if (!text.empty()) text += L", ";
    text += state;
  }
  return text;
}

}  // namespace

std::vector<std::wstring> ElementLines(const ElementFacts& element) {
  return {
      L"Element=" + OneLine(element.name),
      L"Role=" + OneLine(element.role),
      L"State=" + OneLine(JoinStates(element.states)),
      L"Value=" + OneLine(element.value),
      L"Bounds=" + FormatRectEdges(element.bounds),
      L"Action=" + OneLine(element.action),
  };
}

std::wstring ElementTreeLine(const ElementFacts& element) {
  const auto indent = static_cast<std::size_t>(element.depth > 0 ? element.depth : 0) * 2;
  return std::wstring(indent, L' ') + OneLine(element.role) + L" \"" + OneLine(element.name) + L"\" " +
         FormatRectEdges(element.bounds);
}

std::string FormatElementJson(const ElementFacts& element, std::wstring_view taskLine) {
  Json json = ElementObject(element);
  if (!taskLine.empty()) json["task"] = WideToUtf8(taskLine);
  return json.dump(2);
}

std::string FormatElementTreeJson(const std::vector<ElementFacts>& elements) {
  if (elements.empty()) return "null";
  // The open path from the root down to the element visited last, as pointers into the tree being built; a child's
  // object is appended to its parent's "children" before anything is added under it, so the pointers stay valid.
  Json root = ElementObject(elements.front());
  root["children"] = Json::array();
  std::vector<Json*> path{&root};
  for (std::size_t i = 1; i < elements.size(); ++i) {
    const int depth = elements[i].depth < 1 ? 1 : elements[i].depth;
    while (path.size() > static_cast<std::size_t>(depth)) path.pop_back();
    Json& children = (*path.back())["children"];
    Json child = ElementObject(elements[i]);
    child["children"] = Json::array();
    children.push_back(std::move(child));
    path.push_back(&children.back());
  }
  return root.dump(2);
}

bool ElementMatchesTask(const ElementFacts& element, const TaskDescription& task) {
  if (!task.IsElement()) return false;
  return (task.elementName.empty() || EqualsIgnoreCase(task.elementName, element.name)) &&
         (task.elementRole.empty() || EqualsIgnoreCase(task.elementRole, element.role));
}

std::wstring ElementTaskLine(TaskDescription windowTask, const ElementFacts& element) {
  windowTask.elementName = element.name;
  windowTask.elementRole = element.role;
  return windowTask.ToLine();
}

}  // namespace core
