#pragma once
// Fixtures for the list, set and task tests: the program started from an executable path in a fresh folder (so its
// .ini and .log files can be prepared and read back), and probe windows that log the messages posted to them.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Handles.h"
#include "support/SkimletSession.h"
#include "support/WindowClasses.h"
#include "support/TestFiles.h"

class TovFrmMain;

namespace fixture {

// The program as if run from <fresh folder>\skimlet.exe, with the task file skimlet.ini and the set file
// skimlet.log. Prepare the folder, then Start().
class ListsSession {
 public:
  ListsSession();
  ~ListsSession();

  const TempFolder& Folder() const { return folder_; }
  const std::wstring& TaskFile() const { return taskFile_; }
  const std::wstring& SetFile() const { return setFile_; }

  // Writes the task file as the program saves it; for a session started afterwards.
  void WriteTasks(const std::vector<std::wstring>& lines) const;
  // Starts the program (again: the running one ends first).
  TovFrmMain& Start();
  TovFrmMain& Main();
  SkimletSession& Session() { return *session_; }

  // Captions of the entries after the fixed items of the Task submenu and the Set pop-up (the first two).
  std::vector<std::wstring> TaskEntries();
  std::vector<std::wstring> SetEntries();

  // Error reports handed to the shell so far.
  std::vector<std::wstring> Reports() const;

 private:
  TempFolder folder_;
  std::wstring taskFile_;
  std::wstring setFile_;
  std::unique_ptr<SkimletSession> session_;
};

// Probe windows of class "SkimletProbe" log the close, key and mouse-button messages they receive. A probe may
// refuse a number of close requests before the default handling destroys it.
inline constexpr const wchar_t* kProbeClass = L"SkimletProbe";

struct Posted {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Posted&) const = default;
};

// A visible top-level probe at a fixed place.
OwnedWindow MakeProbe(const std::wstring& title, int closeRefusals = 0);
// A visible child probe (destroyed with its parent).
HWND MakeProbeChild(const std::wstring& title, HWND parent, DWORD extraStyle = 0);

// Runs idle passes up to and including the next one in which the task runner acts (predicted from a copy of its
// generator), then dispatches what was posted; returns the probe log since it was last taken.
std::vector<Posted> RunUntilTaskRuns(const TovFrmMain& main);

// Everything logged since the last call, in order of arrival; clears the log.
std::vector<Posted> TakeProbeLog();

}  // namespace fixture
