// skimlet.com: the console front end over the engine. It reads its command line, runs one command and returns
// its exit code; typed as "skimlet" in a shell, this program runs rather than the tool window beside it.
#include <windows.h>

#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "base/Error.h"
#include "base/Paths.h"
#include "console/Commands.h"
#include "console/ConsoleStream.h"
#include "core/CommandLine.h"
#include "engine/ovHost.h"

namespace {

// What the engine needs of this program: with no window of its own to keep answering its waits sleep, no window is
// its own, and an exception that may not cross a callback is written to the error stream.
class ConsoleHost final : public TovExceptionSink, public TovOwnWindows {
 public:
  explicit ConsoleHost(Console& console) : console_(console) { SetHost({&waiter_, this, this}); }
  ~ConsoleHost() { SetHost({}); }
  ConsoleHost(const ConsoleHost&) = delete;
  ConsoleHost& operator=(const ConsoleHost&) = delete;

  void Report(std::exception_ptr error) noexcept override {
    try {
      console_.err.WriteLine(base::ExceptionMessage(error));
    } catch (...) {
      // Nothing more can be said.
    }
  }
  bool IsOwn(HWND) const override { return false; }

 private:
  Console& console_;
  TovSleepingWaiter waiter_;
};

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
  const ConsoleHost host(console);
  try {
    console.exeName = base::ModulePath(nullptr);
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const core::ParsedCommandLine parsed = core::ParseCommandLine(args);
    if (const auto* error = std::get_if<core::UsageError>(&parsed)) {
      console.err.WriteLine(core::UsageErrorLine(*error));
      return core::kExitBadUsage;
    }
    return Run(console, std::get<core::Command>(parsed));
  } catch (...) {
    return console.Fail(core::kExitActionFailed, base::ExceptionMessage(std::current_exception()));
  }
}
