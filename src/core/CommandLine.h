#pragma once
// The console program's command line: its commands and options, read into a Command or refused with a message
// that names the problem, and its help and version texts.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/Geometry.h"
#include "core/WindowCriteria.h"

namespace core {

// What the console program returns to its caller.
inline constexpr int kExitDone = 0;
inline constexpr int kExitNoWindow = 1;      // no window matched the criteria
inline constexpr int kExitBadUsage = 2;      // the command line was refused; see UsageErrorLine
inline constexpr int kExitActionFailed = 3;  // a window was found but the action on it failed

enum class Verb { Help, Version, List, Info, Snap, Set, Tasks, Element };

enum class TasksMode { DryRun, Once };

// The changes of "set"; each is made only when given.
struct WindowChanges {
  std::optional<bool> enable;
  std::optional<bool> show;
  std::optional<bool> topmost;
  std::optional<uint8_t> alpha;
  std::optional<PixelRect> rect;

  bool IsEmpty() const { return !enable && !show && !topmost && !alpha && !rect; }
};

struct Command {
  Verb verb = Verb::Help;
  Criteria criteria;  // list, info, snap of a window, set
  bool all = false;   // list: hidden windows too, and the descendants of each match
  bool json = false;  // list, info
  bool cursor = false;
  bool bmp = false;
  bool asShown = false;        // snap of a window: the screen as it shows the window, not the window itself
  bool screen = false;         // snap: the whole virtual screen
  std::optional<Rect> region;  // snap: from L,T,W,H; right and bottom are exclusive, within the 32-bit range
  std::optional<std::wstring> outFile;
  WindowChanges changes;
  TasksMode tasksMode = TasksMode::DryRun;
  std::optional<std::wstring> taskFile;
  std::optional<Point> at;  // element: the screen point
};

// Why a command line was refused, e.g. "--alpha: 300 is not a number from 0 to 255".
struct UsageError {
  std::wstring message;
};

using ParsedCommandLine = std::variant<Command, UsageError>;

// Reads the arguments after the program's name. The rules beyond the usage text:
//  - Commands and option names are compared exactly (lower case). "--help" anywhere asks for the help text;
//    "--version" must stand alone. No arguments at all is a usage error.
//  - A value follows its option as the next argument or after "=" in the same one ("--out=a.png"). A next
//    argument that starts with "--" is taken for an option, not a value, so "--title --json" is a missing value;
//    "--title=--x" gives such a pattern.
//  - Each option may be given once. An option that the command does not take is refused, as are --screen with
//    --region or with window criteria, and --dry-run with --once.
//  - info, set and snap of a window need at least one criterion; element needs --at X,Y or criteria, not both; set needs at least one change.
//  - --handle is strictly "0x" (or "0X") and one to eight hexadecimal digits; other forms (decimal, "$", no
//    prefix) are refused so that a decimal handle is never read as hexadecimal, or the reverse. 0 is no window.
//  - --alpha, --rect and --region take integers as the position edit boxes read them (Integers.h). The width and
//    height of --region must not be negative and its far edges must stay within the 32-bit range.
//  - Patterns, --exe, --out and --file must not be empty; --exe is a file name, without a folder.
//  - A --task line must carry a non-empty Name or Class (TaskLine.h for its format).
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args);

// The one line written to standard error for a refused command line: the problem and a pointer to --help.
std::wstring UsageErrorLine(const UsageError& error);

// The full usage: commands, options, criteria and exit codes; lines end with "\n".
std::wstring HelpText();

// "Skimlet 2024.16.511.3038" from the product record.
std::wstring VersionLine();

}  // namespace core
