// skimlet.com: the console front end over the engine. It reads its command line, runs one command and returns
// its exit code; typed as "skimlet" in a shell, this program runs rather than the tool window beside it.
#include <windows.h>

#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "console/Commands.h"
#include "console/ConsoleStream.h"
#include "core/CommandLine.h"
#include "gui/Error.h"

namespace {

// The full path of this program, however long it is; the companion files are named after it.
std::wstring OwnPath() {
  constexpr DWORD kMaxPathLength = 32768;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size() || path.size() >= kMaxPathLength) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

int Run(Console& console, const core::Command& command) {
  switch (command.verb) {
    case core::Verb::Help: {
      // Line by line, so that each ends as the stream's lines do.
      const std::wstring help = core::HelpText();
      for (std::size_t start = 0, end; start < help.size(); start = end + 1) {
        end = help.find(L'\n', start);
        if (end == std::wstring::npos) end = help.size();
        console.out.WriteLine(std::wstring_view(help).substr(start, end - start));
      }
      return core::kExitDone;
    }
    case core::Verb::Version:
      console.out.WriteLine(core::VersionLine());
      return core::kExitDone;
    case core::Verb::List:
      return RunList(console, command);
    case core::Verb::Info:
      return RunInfo(console, command);
    case core::Verb::Snap:
      return RunSnap(console, command);
    case core::Verb::Set:
      return RunSet(console, command);
    case core::Verb::Tasks:
      return RunTasks(console, command);
    case core::Verb::Element:
      return RunElement(console, command);
  }
  return core::kExitBadUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Coordinates and DPI as the windows really have them, not scaled for a program that knows no DPI.
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

  Console console;
  try {
    console.exeName = OwnPath();
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const core::ParsedCommandLine parsed = core::ParseCommandLine(args);
    if (const auto* error = std::get_if<core::UsageError>(&parsed)) {
      console.err.WriteLine(core::UsageErrorLine(*error));
      return core::kExitBadUsage;
    }
    return Run(console, std::get<core::Command>(parsed));
  } catch (...) {
    return console.Fail(core::kExitActionFailed, gui::ExceptionMessage(std::current_exception()));
  }
}
