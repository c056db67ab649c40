#pragma once
// Runs a copy of the built skimlet.exe as a child process from a fresh folder, and finds its windows, so that tests
// can see the program as the system and the user do: its own process, its own exit code, its own tray icon.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace fixture {

// The skimlet.exe of the build the test program belongs to, in BuiltProductFolder(); empty when it is not there.
std::wstring BuiltSkimletPath();

// A top-level window of the process with that window class, or of any class when className is null or empty
// (hidden ones too unless visibleOnly); nullptr if none.
HWND FindProcessWindow(DWORD process, const wchar_t* className, bool visibleOnly = false);

// Whether the shell holds the notification-area icon `id` of `window`: modifying an icon that it does not hold
// fails, which is the one way to ask.
bool ShellHoldsIcon(HWND window, UINT id);

class ChildProcess {
 public:
  ChildProcess() = default;
  // Ends the process if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Copies `exe` into its own temporary folder under the same file name. Files put beside the copy before
  // Launch are there when it starts.
  bool Place(const std::wstring& exe);
  // Starts the placed copy, with its folder as the working folder and `arguments` after its name.
  bool Launch(const std::wstring& arguments = {});
  bool Start(const std::wstring& exe, const std::wstring& arguments = {}) { return Place(exe) && Launch(arguments); }

  const std::wstring& ExePath() const { return exePath_; }
  DWORD Id() const { return process_.dwProcessId; }
  bool Running() const;

  // A top-level window of the process with that window class (hidden ones included); nullptr if none yet.
  HWND FindWindowOfClass(const wchar_t* className) const;
  // Waits for one to exist; nullptr on time-out.
  HWND WaitForWindow(const wchar_t* className, int timeoutMs = 10000) const;
  // Waits for the process to end; its exit code, or nothing on time-out.
  std::optional<DWORD> WaitForExit(int timeoutMs = 10000) const;

 private:
  std::optional<TempFolder> folder_;
  std::wstring exePath_;
  PROCESS_INFORMATION process_{};
};

}  // namespace fixture
