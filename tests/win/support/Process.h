#pragma once
// Runs a copy of the built skimlet.exe as a child process from a fresh folder, and finds its windows, so that tests
// can see the program as the system and the user do: its own process, its own exit code, its own tray icon.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/SkimletSession.h"

namespace fixture {

// The skimlet.exe of the build the test program belongs to: <build>/bin/skimlet.exe, the test programs living in
// <build>/tests. Empty when it is not there.
std::wstring BuiltSkimletPath();

// A top-level window of the process with that window class (hidden ones too unless visibleOnly); nullptr if none.
HWND FindProcessWindow(DWORD process, const wchar_t* className, bool visibleOnly = false);

class ChildProcess {
 public:
  ChildProcess() = default;
  // Ends the process if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Copies `exe` into its own temporary folder under the same file name and starts it there.
  bool Start(const std::wstring& exe);
  const std::wstring& ExePath() const { return exePath_; }
  DWORD Id() const { return id_; }
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
  DWORD id_ = 0;
};

}  // namespace fixture
