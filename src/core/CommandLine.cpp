#include "core/CommandLine.h"

#include <array>
#include <cstdint>
#include <set>
#include <string_view>

#include "core/Integers.h"
#include "core/Product.h"
#include "core/TaskDescription.h"

namespace core {

namespace {

// Which commands take an option, one bit per command.
enum VerbBit : unsigned { kList = 1, kInfo = 2, kSnap = 4, kSet = 8, kTasks = 16, kElement = 32 };

enum class Opt {
  Title, Class, Exe, Handle, Task, All, Json, Out, Cursor, Bmp, AsShown, Screen, Region,
  Enable, Show, Topmost, Alpha, Rect, DryRun, Once, File, At
};

struct OptionSpec {
  std::wstring_view name;
  Opt opt;
  bool takesValue;
  unsigned verbs;
};

constexpr unsigned kWindowVerbs = kList | kInfo | kSnap | kSet | kElement;

constexpr std::array<OptionSpec, 22> kOptions = {{
    {L"--title", Opt::Title, true, kWindowVerbs},
    {L"--class", Opt::Class, true, kWindowVerbs},
    {L"--exe", Opt::Exe, true, kWindowVerbs},
    {L"--handle", Opt::Handle, true, kWindowVerbs},
    {L"--task", Opt::Task, true, kWindowVerbs},
    {L"--all", Opt::All, false, kList},
    {L"--json", Opt::Json, false, kList | kInfo | kElement},
    {L"--out", Opt::Out, true, kSnap},
    {L"--cursor", Opt::Cursor, false, kSnap},
    {L"--bmp", Opt::Bmp, false, kSnap},
    {L"--as-shown", Opt::AsShown, false, kSnap},
    {L"--screen", Opt::Screen, false, kSnap},
    {L"--region", Opt::Region, true, kSnap},
    {L"--enable", Opt::Enable, true, kSet},
    {L"--show", Opt::Show, true, kSet},
    {L"--topmost", Opt::Topmost, true, kSet},
    {L"--alpha", Opt::Alpha, true, kSet},
    {L"--rect", Opt::Rect, true, kSet},
    {L"--dry-run", Opt::DryRun, false, kTasks},
    {L"--once", Opt::Once, false, kTasks},
    {L"--file", Opt::File, true, kTasks},
    {L"--at", Opt::At, true, kElement},
}};

struct VerbSpec {
  std::wstring_view name;
  Verb verb;
  VerbBit bit;
};

constexpr std::array<VerbSpec, 6> kVerbs = {{
    {L"list", Verb::List, kList},
    {L"info", Verb::Info, kInfo},
    {L"snap", Verb::Snap, kSnap},
    {L"set", Verb::Set, kSet},
    {L"tasks", Verb::Tasks, kTasks},
    {L"element", Verb::Element, kElement},
}};

constexpr std::wstring_view kCriteriaNames = L"--title, --class, --exe, --handle or --task";

const OptionSpec* FindOption(std::wstring_view name) {
  for (const OptionSpec& spec : kOptions) {
    if (spec.name == name) return &spec;
  }
  return nullptr;
}

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

// The value's problem, as "name: ..." text, or nothing when the value is good.
using Problem = std::optional<std::wstring>;

Problem NotEmpty(std::wstring_view name, std::wstring_view value, std::wstring_view what) {
  if (value.empty()) return std::wstring(name) + L": the " + std::wstring(what) + L" is empty";
  return std::nullopt;
}

Problem ReadHandle(std::wstring_view value, std::optional<uint32_t>& out) {
  const std::wstring problem = L"--handle: " + Quoted(value) + L" is not a window handle (0x and 1 to 8 hexadecimal"
                               L" digits)";
  if (!(value.starts_with(L"0x") || value.starts_with(L"0X"))) return problem;
  const std::wstring_view digits = value.substr(2);
  if (digits.empty() || digits.size() > 8) return problem;
  for (wchar_t c : digits) {
    const bool hex = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
    if (!hex) return problem;
  }
  const auto handle = static_cast<uint32_t>(ParseInt32(value).value_or(0));
  if (handle == 0) return std::wstring(L"--handle: 0 names no window");
  out = handle;
  return std::nullopt;
}

Problem ReadSwitch(std::wstring_view name, std::wstring_view value, std::optional<bool>& out) {
  if (value == L"on") {
    out = true;
  } else if (value == L"off") {
    out = false;
  } else {
    return std::wstring(name) + L": " + Quoted(value) + L" is neither on nor off";
  }
  return std::nullopt;
}

Problem ReadAlpha(std::wstring_view value, std::optional<uint8_t>& out) {
  const std::optional<int32_t> number = ParseInt32(value);
  if (!number || *number < 0 || *number > 255) {
    return L"--alpha: " + std::wstring(value) + L" is not a number from 0 to 255";
  }
  out = static_cast<uint8_t>(*number);
  return std::nullopt;
}

// "L,T,W,H": exactly four integers separated by commas.
Problem ReadFour(std::wstring_view name, std::wstring_view value, PixelRect& out) {
  std::array<int32_t, 4> numbers{};
  size_t start = 0;
  for (size_t k = 0; k < numbers.size(); ++k) {
    const size_t comma = value.find(L',', start);
    const bool last = k + 1 == numbers.size();
    if (last != (comma == std::wstring_view::npos)) {
      return std::wstring(name) + L": " + Quoted(value) + L" is not four integers L,T,W,H";
    }
    const std::wstring_view part = value.substr(start, last ? std::wstring_view::npos : comma - start);
    const std::optional<int32_t> number = ParseInt32(part);
    if (!number) {
      return std::wstring(name) + L": " + Quoted(part) + L" in " + Quoted(value) + L" is not an integer (L,T,W,H)";
    }
    numbers[k] = *number;
    start = comma + 1;
  }
  out = {numbers[0], numbers[1], numbers[2], numbers[3]};
  return std::nullopt;
}

// One rule for every rectangle given as L,T,W,H: width and height not negative, right and bottom within range.
Problem ReadRectangle(std::wstring_view name, std::wstring_view value, PixelRect& out) {
  if (Problem problem = ReadFour(name, value, out)) return problem;
  const std::wstring prefix = std::wstring(name) + L": " + Quoted(value);
  if (out.width < 0 || out.height < 0) return prefix + L": the width and height must not be negative";
  if (int64_t{out.left} + out.width > INT32_MAX || int64_t{out.top} + out.height > INT32_MAX) {
    return prefix + L": the rectangle reaches beyond the coordinate range";
  }
  return std::nullopt;
}

Problem ReadRegion(std::wstring_view value, std::optional<Rect>& out) {
  PixelRect p;
  if (Problem problem = ReadRectangle(L"--region", value, p)) return problem;
  out = Rect{p.left, p.top, p.left + p.width, p.top + p.height};
  return std::nullopt;
}

// "X,Y": two integers separated by a comma.
Problem ReadPoint(std::wstring_view value, std::optional<Point>& out) {
  const size_t comma = value.find(L',');
  const std::optional<int32_t> x = ParseInt32(value.substr(0, comma));
  const std::optional<int32_t> y =
      comma == std::wstring_view::npos ? std::nullopt : ParseInt32(value.substr(comma + 1));
  if (!x || !y) return L"--at: " + Quoted(value) + L" is not two integers X,Y";
  out = Point{*x, *y};
  return std::nullopt;
}

Problem ReadTask(std::wstring_view value, std::optional<TaskDescription>& out) {
  TaskDescription task = TaskDescription::Parse(value);
  if (task.name.empty() && task.className.empty()) {
    return L"--task: " + Quoted(value) + L" has neither a Name nor a Class item";
  }
  out = std::move(task);
  return std::nullopt;
}

Problem ReadExe(std::wstring_view value, std::optional<std::wstring>& out) {
  if (Problem problem = NotEmpty(L"--exe", value, L"file name")) return problem;
  if (value.find_first_of(L"\\/:") != std::wstring_view::npos) {
    return L"--exe: " + Quoted(value) + L" is a path; give the file name only";
  }
  out = std::wstring(value);
  return std::nullopt;
}

Problem ReadText(std::wstring_view name, std::wstring_view value, std::wstring_view what,
                 std::optional<std::wstring>& out) {
  if (Problem problem = NotEmpty(name, value, what)) return problem;
  out = std::wstring(value);
  return std::nullopt;
}

// Stores one option's value (empty for flags) in the command.
Problem Apply(const OptionSpec& spec, std::wstring_view value, Command& command) {
  Criteria& criteria = command.criteria;
  WindowChanges& changes = command.changes;
  switch (spec.opt) {
    case Opt::Title: return ReadText(spec.name, value, L"pattern", criteria.title);
    case Opt::Class: return ReadText(spec.name, value, L"pattern", criteria.className);
    case Opt::Exe: return ReadExe(value, criteria.exeName);
    case Opt::Handle: return ReadHandle(value, criteria.handle);
    case Opt::Task: return ReadTask(value, criteria.task);
    case Opt::All: command.all = true; return std::nullopt;
    case Opt::Json: command.json = true; return std::nullopt;
    case Opt::Out: return ReadText(spec.name, value, L"file name", command.outFile);
    case Opt::Cursor: command.cursor = true; return std::nullopt;
    case Opt::Bmp: command.bmp = true; return std::nullopt;
    case Opt::AsShown: command.asShown = true; return std::nullopt;
    case Opt::Screen: command.screen = true; return std::nullopt;
    case Opt::Region: return ReadRegion(value, command.region);
    case Opt::Enable: return ReadSwitch(spec.name, value, changes.enable);
    case Opt::Show: return ReadSwitch(spec.name, value, changes.show);
    case Opt::Topmost: return ReadSwitch(spec.name, value, changes.topmost);
    case Opt::Alpha: return ReadAlpha(value, changes.alpha);
    case Opt::Rect: {
      PixelRect placement;
      if (Problem problem = ReadRectangle(spec.name, value, placement)) return problem;
      changes.rect = placement;
      return std::nullopt;
    }
    case Opt::DryRun: command.tasksMode = TasksMode::DryRun; return std::nullopt;
    case Opt::Once: command.tasksMode = TasksMode::Once; return std::nullopt;
    case Opt::File: return ReadText(spec.name, value, L"file name", command.taskFile);
    case Opt::At: return ReadPoint(value, command.at);
  }
  return std::nullopt;
}

// The rules that join options: conflicts and what a command cannot do without.
Problem CheckCombination(const Command& command, std::wstring_view verbName, const std::set<Opt>& given) {
  const auto has = [&](Opt opt) { return given.contains(opt); };
  const bool hasCriteria = !command.criteria.IsEmpty();
  if (has(Opt::DryRun) && has(Opt::Once)) return std::wstring(L"--dry-run and --once cannot be used together");
  if (command.screen && command.region) return std::wstring(L"--screen and --region cannot be used together");
  if ((command.screen || command.region) && hasCriteria) {
    return std::wstring(command.screen ? L"--screen" : L"--region") + L" cannot be used with window criteria";
  }
  const bool needsCriteria = command.verb == Verb::Info || command.verb == Verb::Set ||
                             (command.verb == Verb::Snap && !command.screen && !command.region);
  if (needsCriteria && !hasCriteria) {
    std::wstring problem = std::wstring(verbName) + L" needs a window criterion (" + std::wstring(kCriteriaNames);
    return problem + (command.verb == Verb::Snap ? L"), --screen or --region" : L")");
  }
  if (command.verb == Verb::Element) {
    if (command.at && hasCriteria) return std::wstring(L"--at cannot be used with window criteria");
    if (!command.at && !hasCriteria) {
      return L"element needs --at X,Y or a window criterion (" + std::wstring(kCriteriaNames) + L")";
    }
  }
  if (command.verb == Verb::Set && command.changes.IsEmpty()) {
    return std::wstring(L"set needs a change (--enable, --show, --topmost, --alpha or --rect)");
  }
  return std::nullopt;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
  const auto refuse = [](std::wstring message) { return ParsedCommandLine(UsageError{std::move(message)}); };
  if (args.empty()) return refuse(L"no command given");
  for (const std::wstring& arg : args) {
    if (arg == L"--help") return Command{.verb = Verb::Help};
  }
  if (args[0] == L"--version") {
    if (args.size() > 1) return refuse(L"--version takes no other arguments");
    return Command{.verb = Verb::Version};
  }

  const VerbSpec* verb = nullptr;
  for (const VerbSpec& spec : kVerbs) {
    if (spec.name == args[0]) verb = &spec;
  }
  if (!verb) {
    if (args[0].starts_with(L"--")) return refuse(L"the command must come first, before " + args[0]);
    return refuse(L"unknown command " + Quoted(args[0]));
  }

  Command command;
  command.verb = verb->verb;
  std::set<Opt> given;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (!arg.starts_with(L"--")) return refuse(L"unexpected argument " + Quoted(arg));
    const size_t equals = arg.find(L'=');
    const std::wstring_view name = std::wstring_view(arg).substr(0, equals);
    const OptionSpec* spec = FindOption(name);
    if (!spec) return refuse(L"unknown option " + std::wstring(name));
    if ((spec->verbs & verb->bit) == 0) return refuse(std::wstring(name) + L" is not an option of " + args[0]);
    if (given.contains(spec->opt)) return refuse(std::wstring(name) + L" is given twice");
    given.insert(spec->opt);

    std::wstring_view value;
    if (!spec->takesValue) {
      if (equals != std::wstring::npos) return refuse(std::wstring(name) + L" takes no value");
    } else if (equals != std::wstring::npos) {
      value = std::wstring_view(arg).substr(equals + 1);
    } else {
      if (i + 1 == args.size() || args[i + 1].starts_with(L"--")) return refuse(std::wstring(name) + L" needs a value");
      value = args[++i];
    }
    if (Problem problem = Apply(*spec, value, command)) return refuse(std::move(*problem));
  }
  if (Problem problem = CheckCombination(command, args[0], given)) return refuse(std::move(*problem));
  return command;
}

std::wstring UsageErrorLine(const UsageError& error) {
  return std::wstring(product::kName) + L": " + error.message + L" (see " + std::wstring(product::kName) +
         L" --help)";
}

std::wstring VersionLine() { return std::wstring(product::kTitle) + L" " + std::wstring(product::kVersion); }

std::wstring HelpText() {
  return VersionLine() + L" - lists, inspects, snaps and changes windows from the console.\n"
         L"\n"
         L"Usage:\n"
         L"  skimlet list [CRITERIA] [--all] [--json]\n"
         L"  skimlet info CRITERIA [--json]\n"
         L"  skimlet snap CRITERIA [--out FILE] [--cursor] [--bmp] [--as-shown]\n"
         L"  skimlet snap --screen | --region L,T,W,H  [--out FILE] [--cursor] [--bmp]\n"
         L"  skimlet set CRITERIA [--enable on|off] [--show on|off] [--topmost on|off] [--alpha 0-255]"
         L" [--rect L,T,W,H]\n"
         L"  skimlet tasks [--dry-run | --once] [--file FILE]\n"
         L"  skimlet element --at X,Y [--json]\n"
         L"  skimlet element CRITERIA [--json]\n"
         L"  skimlet --help | --version\n"
         L"\n"
         L"CRITERIA (any combination; all must hold):\n"
         L"  --title PATTERN   --class PATTERN   --exe NAME   --handle 0xHEX   --task \"TASK LINE\"\n"
         L"\n"
         L"  PATTERN is the whole title or class, compared without regard to case; * matches any run of\n"
         L"  characters and ? one character. --exe compares the file name of the process image without regard\n"
         L"  to case. --handle names one window: 0x and 1 to 8 hexadecimal digits. --task takes a line of the\n"
         L"  task file (Name=...,Class=...,pName=...,pClass=...,pLevels=...) and finds the window that the task\n"
         L"  runner would find for it.\n"
         L"\n"
         L"Commands:\n"
         L"  list   Visible top-level windows (--all: hidden ones too, and the descendants of each match), one\n"
         L"         per line: handle, process id, image file name, class, title, rectangle left,top,right,bottom,\n"
         L"         separated by tabs. Control characters in titles are shown as spaces.\n"
         L"         --json writes one array of objects with the same fields.\n"
         L"  info   The first matching window in detail: its handle, id, title, class, styles and font, its\n"
         L"         process, thread, parent, owner, rectangle, DPI and task line.\n"
         L"  snap   Saves a picture of the first matching window, of the whole screen (--screen) or of a region\n"
         L"         of it. Without --out the file is skimlet-YYYYMMDD-HHMMSS.png in the current folder, with -2,\n"
         L"         -3 ... added when that exists (.bmp with --bmp). --cursor draws the mouse pointer in.\n"
         L"         A window that others cover is taken as itself; --as-shown takes the screen as it is instead.\n"
         L"  set    Changes the first matching window: enabled, shown, always on top, opacity, position and size.\n"
         L"  tasks  Goes through the task file (--file, or the one beside the program). --dry-run, the default,\n"
         L"         prints for each line its number, the line, the window it matches now (as list prints it) or\n"
         L"         \"no window\", and what the task runner would do: close, click, key N or nothing: disabled.\n"
         L"         --once does it, once for each line.\n"
         L"  element  The accessible element at a screen point (--at X,Y): its name, role, state, value, bounds\n"
         L"         left,top,right,bottom and default action, the window that holds it and the task line that\n"
         L"         clicks it. With criteria: the first matching window's element tree, one element a line\n"
         L"         (role, name in quotes, bounds), indented by depth; --json writes nested objects.\n"
         L"         Task lines may name an element inside their window with eName=NAME and eRole=ROLE.\n"
         L"\n"
         L"Values may also follow their option after \"=\", as in --out=shot.png.\n"
         L"\n"
         L"Exit codes:\n"
         L"  0  done\n"
         L"  1  no window (or no element) matched\n"
         L"  2  bad usage\n"
         L"  3  the action failed\n";
}

}  // namespace core
