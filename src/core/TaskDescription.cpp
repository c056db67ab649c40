#include "core/TaskDescription.h"

#include "core/Integers.h"
#include "core/TaskLine.h"

namespace core {

TaskDescription TaskDescription::Parse(std::wstring_view line) {
  const TaskItems items = TaskItems::FromLine(line);
  TaskDescription task;
  task.name = items.Value(L"Name");
  task.className = items.Value(L"Class");
  task.parentName = items.Value(L"pName");
  task.parentClass = items.Value(L"pClass");
  task.levels = ParseInt32Or0(items.Value(L"pLevels"));
  task.key = ParseInt32Or0(items.Value(L"Key"));
  task.elementName = items.Value(L"eName");
  task.elementRole = items.Value(L"eRole");
  return task;
}

TaskAction TaskDescription::Action() const {
  if (IsElement()) return TaskAction::Click;
  if (key != 0) return TaskAction::Key;
  return IsControl() ? TaskAction::Click : TaskAction::Close;
}

std::wstring TaskDescription::ToLine() const {
  TaskItems items;
  items.Set(L"Name", name);
  items.Set(L"Class", className);
  items.Set(L"pName", parentName);
  items.Set(L"pClass", parentClass);
  if (levels != 0) items.Set(L"pLevels", std::to_wstring(levels));
  if (key != 0) items.Set(L"Key", std::to_wstring(key));
  items.Set(L"eName", elementName);
  items.Set(L"eRole", elementRole);
  return items.ToLine();
}

}  // namespace core
