#pragma once
// What one close-or-click task line asks for, read once from its items: which window (a top-level window, or a
// control under a top-level window), and what to do with it. The finder, the trigger, "Test tasks" and the console
// all work from this, so a line means the same everywhere.
//
// Item keys are looked up without regard to case, the first item with a key wins, and items this type does not
// know are ignored (a later kind of item becomes one more field here, empty when the line lacks it).
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

enum class TaskAction {
  Close,  // a top-level task: ask the window to close
  Click,  // a control task: click it, when it is enabled
  Key,    // either kind with Key=N: press and release that virtual key
};

struct TaskDescription {
  // Reads the items of a task line (see TaskLine.h); every line gives a description.
  static TaskDescription Parse(std::wstring_view line);

  std::wstring name;         // Name: the title of the window acted on
  std::wstring className;    // Class: its class
  std::wstring parentName;   // pName: a control's top-level window's title
  std::wstring parentClass;  // pClass: that window's class; a task is a control task when this is not empty
  int32_t levels = 0;        // pLevels: the levels between the top-level window and the control's parent
  int32_t key = 0;           // Key: the virtual key to send; 0 (or a value that is no number) for none
  std::wstring elementName;  // eName: an accessible element inside the window, by its name
  std::wstring elementRole;  // eRole: ... and by its role text; either names an element, both must hold

  bool IsControl() const { return !parentClass.empty(); }
  // The top-level window the task needs: Class/Name, or pClass/pName for a control task.
  const std::wstring& TopClass() const { return IsControl() ? parentClass : className; }
  const std::wstring& TopName() const { return IsControl() ? parentName : name; }
  // An element task clicks the element the eName and eRole items name inside its window.
  bool IsElement() const { return !elementName.empty() || !elementRole.empty(); }
  TaskAction Action() const;

  // The line for this description: Name, Class, pName, pClass, then pLevels and Key when not 0, then eName and
  // eRole; an empty text writes no item.
  std::wstring ToLine() const;
};

}  // namespace core
