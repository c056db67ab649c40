// "tasks": the task file's lines with the windows they name now, and, with --once, the runner's action on each.
#include <windows.h>

#include <string>
#include <vector>

#include "base/Error.h"
#include "console/Commands.h"
#include "core/ConsoleFormat.h"
#include "core/Paths.h"
#include "core/TaskDescription.h"
#include "engine/ovListFile.h"
#include "engine/ovTaskAction.h"
#include "engine/ovWindowFacts.h"

int RunTasks(Console& console, const core::Command& command) {
  const std::wstring path = command.taskFile ? *command.taskFile : core::ChangeFileExt(console.exeName, L".ini");
  // A file named on the command line must be there; only the default file may be missing (no tasks yet).
  if (command.taskFile && ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return console.Fail(core::kExitActionFailed, base::Win32Error(L"Cannot read \"" + path + L"\"", error).Message());
  }
  std::vector<std::wstring> lines;
  try {
    lines = LoadListFile(path);
  } catch (const base::Win32Error& error) {
    return console.Fail(core::kExitActionFailed, error.Message());
  }

  if (lines.empty()) return console.Fail(core::kExitNoWindow, L"no task lines in " + path);

  bool anyWindow = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const core::TaskDescription task = core::TaskDescription::Parse(lines[i]);
    const TovTaskTarget target = FindTaskTarget(task);
    if (!target.Window) {
      console.out.WriteLine(core::FormatTaskDryRunLine(i + 1, lines[i], task, nullptr, false));
      continue;
    }
    anyWindow = true;
    const core::WindowFacts facts = ReadWindowFacts(target.Window);
    // A click is made only on an enabled control (or an element that is there): what ApplyTaskAction did says
    // which it was.
    const bool once = command.tasksMode == core::TasksMode::Once;
    bool enabled = once ? ApplyTaskAction(target) : ::IsWindowEnabled(target.Window) != FALSE;
    if (task.IsElement() && !once) {
      enabled = FindTaskElement(target.Window, task, false).status == TovElementStatus::Found;
    }
    console.out.WriteLine(core::FormatTaskDryRunLine(i + 1, lines[i], task, &facts, enabled));
  }
  if (!anyWindow) return console.Fail(core::kExitNoWindow, L"no task line matches a window");
  return core::kExitDone;
}
