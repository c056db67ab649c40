#pragma once
// What the console program prints: the window list in its tab-separated and JSON forms, the details of "info",
// the dry-run lines of "tasks", and the default file name of a snapshot.
//
// Text lines are wide text without a line break; the front end writes them. JSON is UTF-8, without a final line
// break. Numbers follow the information panel's convention: handles as "0x" and eight upper-case hexadecimal digits
// of their low 32 bits, process and thread ids and coordinates in decimal.
//
// One window, one line: control characters (codes 0-31, 127 and 128-159) in titles, class names, paths and task
// lines are shown as spaces, so a title holding a tab or a line break cannot add a column or a line. JSON keeps
// every text as it is.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Geometry.h"
#include "core/TaskDescription.h"
#include "core/WindowCriteria.h"

#include "core/LocalTime.h"

namespace core {

// text with each control character replaced by a space.
std::wstring OneLine(std::wstring_view text);

// "0x000A01B2".
std::wstring FormatHandle(uint32_t handle);

// "left,top,right,bottom".
std::wstring FormatRectEdges(const Rect& rect);

// handle, process id, exe file name, class, title and rectangle, separated by tabs:
// "0x000A01B2\t1234\tnotepad.exe\tNotepad\tUntitled - Notepad\t10,20,810,620".
std::wstring FormatListLine(const WindowFacts& window);

// One array with an object per window, in order:
// {"handle": "0x000A01B2", "pid": 1234, "exe": "...", "class": "...", "title": "...",
//  "rect": {"left": 10, "top": 20, "right": 810, "bottom": 620}}.
std::string FormatListJson(const std::vector<WindowFacts>& windows);

// What "info" adds to the information panel's lines (InfoText.h) about one window.
struct WindowDetails {
  std::wstring imagePath;  // the full path of the process image
  uint32_t threadId = 0;
  uint32_t parent = 0;  // handles, 0 when there is none
  uint32_t owner = 0;
  uint32_t dpi = 0;
  std::wstring taskLine;  // the task line that adding a task for this window would make
};

// The panel's lines, then "Process=<pid> <path>", "Thread=<tid>", "Parent=0x...", "Owner=0x...", "Rect=L,T,R,B",
// "Dpi=<dpi>" and "Task=<line>"; each made one line.
std::vector<std::wstring> BuildInfoOutput(const std::vector<std::wstring>& panelLines, const WindowFacts& window,
                                          const WindowDetails& details);

// One object: the fields of FormatListJson, then "path", "thread", "parent", "owner" (handles as text like
// "handle"), "dpi", "task", and "panel", the array of the panel's lines.
std::string FormatInfoJson(const std::vector<std::wstring>& panelLines, const WindowFacts& window,
                           const WindowDetails& details);

// What the task runner does with the window it found for task: "key N" when the task carries a Key (N in
// decimal), else "close" for a top-level task (no pClass), else "click" when the window is enabled and
// "nothing: disabled" when it is not. An element task (eName, eRole): "click" when windowEnabled, which then says
// whether the element is there, else "nothing: no element".
std::wstring DescribeTaskAction(const TaskDescription& task, bool windowEnabled);

// One line of "tasks --dry-run", fields separated by tabs: the line's number (from 1), the line's items as read
// and written back (so that a blank which split an item shows as a comma), then either the window as
// FormatListLine gives it (six fields) and the action of task, the line's description (DescribeTaskAction), or
// "no window" when window is null (windowEnabled is then not looked at).
std::wstring FormatTaskDryRunLine(size_t lineNumber, std::wstring_view line, const TaskDescription& task,
                                  const WindowFacts* window, bool windowEnabled);

// At most this many names are tried for one snapshot: the plain name and the suffixes "-2" up to this number.
inline constexpr int kMaxSnapshotNames = 1000;

// "skimlet-YYYYMMDD-HHMMSS.png" (".bmp" when bmp), or with "-2", "-3" ... before the extension: the first name for
// which exists says false. Nothing when all kMaxSnapshotNames names are taken.
std::optional<std::wstring> PickSnapshotFileName(const LocalTime& time, bool bmp,
                                                 const std::function<bool(const std::wstring&)>& exists);

}  // namespace core
