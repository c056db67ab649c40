#pragma once
// A copy of the built program in a fresh folder of its own, started as its own process, and what a user can see of
// it: its windows' texts, its companion files, its tray icon and, at the end, its exit code.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Process.h"

namespace e2e {

class RunningCopy {
 public:
  // The process ends with the object if it still runs.
  // Copies skimlet.exe and skimlet.dll from the build into a fresh folder, writes each (extension, bytes) pair as
  // a companion file (".ini" gives skimlet.ini) and starts the copy there; true once its main window and tray
  // window exist and the main window shows.
  bool Start(const std::vector<std::pair<std::wstring, std::string>>& companions = {});

  const std::wstring& ExePath() const { return process_.ExePath(); }
  // The companion file with the exe's extension replaced (".log") or, for ".tmp.png", appended.
  std::wstring Companion(const std::wstring& extension) const;
  bool Running() const { return process_.Running(); }
  std::optional<DWORD> WaitForExit(int timeoutMs) const { return process_.WaitForExit(timeoutMs); }

  HWND Main() const { return main_; }
  HWND Tray() const { return tray_; }
  // A visible pop-up menu of the process, or nullptr.
  HWND OpenMenu() const;
  // Whether the shell still holds the program's tray icon.
  bool HasTrayIcon() const;

  // Children of the main window as a user tells them apart: by kind and caption.
  HWND Button(const wchar_t* caption) const;
  HWND Memo() const;
  // The four single-line edit boxes, left to right.
  std::vector<HWND> EditBoxes() const;

  // A point given in the main window's client pixels at 96 DPI, scaled to the window's DPI, on the screen.
  POINT ClientPoint(int x, int y) const;

 private:
  HWND FindTopLevel(const wchar_t* className, bool visibleOnly) const;

  fixture::ChildProcess process_;
  HWND main_ = nullptr;
  HWND tray_ = nullptr;
};

// The text a window shows, read with WM_GETTEXT and bounded in time.
std::wstring TextOf(HWND window);

}  // namespace e2e
