#pragma once
// Which windows a console command acts on: the criteria given on its command line and the facts of one window
// they are checked against.
#include <cstdint>
#include <optional>
#include <string>

#include "core/Geometry.h"
#include "core/TaskDescription.h"

namespace core {

// What the window side reads of one window; handles and ids are the low 32 bits, which are all they carry.
struct WindowFacts {
  uint32_t handle = 0;
  uint32_t processId = 0;
  std::wstring exeName;  // the file name of the process image, without its folder
  std::wstring className;
  std::wstring title;
  Rect rect;  // the window rectangle in screen coordinates
};

// The criteria of one command; every one that is given must hold.
struct Criteria {
  std::optional<std::wstring> title;      // wildcard pattern (see Wildcard.h), never empty
  std::optional<std::wstring> className;  // wildcard pattern, never empty
  std::optional<std::wstring> exeName;    // compared with WindowFacts::exeName without regard to case
  std::optional<uint32_t> handle;
  // A task line with Name or Class or both. Which window it names depends on the window tree (the runner's
  // search), so MatchesCriteria leaves it out: the window side finds the task's window and checks it against the
  // other criteria with MatchesCriteria.
  std::optional<TaskDescription> task;

  bool IsEmpty() const { return !title && !className && !exeName && !handle && !task; }
};

// Whether the window meets the title, class, exe and handle criteria; the task criterion is not looked at.
bool MatchesCriteria(const WindowFacts& window, const Criteria& criteria);

}  // namespace core
