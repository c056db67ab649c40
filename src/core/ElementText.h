#pragma once
// Accessible elements as the tool window, the console and the tasks show and name them: the element lines of the
// information panel, the indented tree, their JSON forms, and how a task's eName and eRole items pick an element.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Geometry.h"
#include "core/TaskDescription.h"

namespace core {

// What is read of one element. Texts are as the element gives them; the role and state texts are the system's
// own (GetRoleText, GetStateText).
struct ElementFacts {
  std::wstring name;
  std::wstring role;
  std::vector<std::wstring> states;  // one text per state bit that is set, lowest bit first
  std::wstring value;
  std::wstring action;  // the default action's name; empty when the element has none
  Rect bounds;          // screen coordinates; right and bottom exclusive
  uint32_t host = 0;    // the window that answers for the element
  int depth = 0;        // in a tree: 0 for the window's own element, 1 for its children, ...
};

// "Element=<name>", "Role=<role>", "State=<a, b>", "Value=<value>", "Bounds=l,t,r,b", "Action=<action>"; each one
// line (control characters shown as spaces).
std::vector<std::wstring> ElementLines(const ElementFacts& element);

// One line of a tree: two blanks per depth, the role, the name in double quotes and the bounds:
// `    push button "Later" 10,20,90,44`.
std::wstring ElementTreeLine(const ElementFacts& element);

// One object: "name", "role", "state" (array), "value", "bounds" {left, top, right, bottom}, "action", "window"
// (the host as "0x..." text) and, when not empty, "task".
std::string FormatElementJson(const ElementFacts& element, std::wstring_view taskLine);

// The elements of a walk, in visiting order (each followed by its descendants, depths as ElementFacts gives them),
// as one nested object: each element's fields as FormatElementJson gives them, and "children", an array. The first
// element is the root; an element deeper than the one before it by more than one level hangs under that one.
std::string FormatElementTreeJson(const std::vector<ElementFacts>& elements);

// Whether the task's element name and role (those given; empty ones count as absent) equal the element's name and
// role without regard to case. A task with neither matches no element.
bool ElementMatchesTask(const ElementFacts& element, const TaskDescription& task);

// The window's task line with the element's name and role added as eName and eRole (an empty one is left out).
std::wstring ElementTaskLine(TaskDescription windowTask, const ElementFacts& element);

}  // namespace core
