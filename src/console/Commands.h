#pragma once
// The console program's commands, each taking a command line that ParseCommandLine accepted and returning the
// process's exit code (core/CommandLine.h).
#include "console/ConsoleStream.h"
#include "core/CommandLine.h"

int RunList(Console& console, const core::Command& command);
int RunInfo(Console& console, const core::Command& command);
int RunSnap(Console& console, const core::Command& command);
int RunSet(Console& console, const core::Command& command);
int RunTasks(Console& console, const core::Command& command);
int RunElement(Console& console, const core::Command& command);

// The message of exit code 1.
inline constexpr wchar_t kNoWindowMessage[] = L"no window matches";
