#pragma once
// The program's own objects, made inside a test process in the order start-up makes them: the region overlay,
// the application paths (for any executable path the test names), the product record, the exception handler,
// the main window (created and shown), then the controls' hints, the about window and the overlay's window (both
// hidden). The shell is replaced by a recorder, so links and files that the program opens are read by the test
// instead of being started, and the tray icon's calls are recorded.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/TrayRecorder.h"

class TovFrmAbout;
class TovFrmMain;
class TovModules;

namespace fixture {

class SkimletSession {
 public:
  // exeName: the executable path the program believes it runs from; empty: this test program's own path.
  // The main window's creation handler runs inside the constructor (and so reads the list files beside it).
  explicit SkimletSession(std::wstring exeName = {}, bool show = true);
  ~SkimletSession();
  SkimletSession(const SkimletSession&) = delete;
  SkimletSession& operator=(const SkimletSession&) = delete;

  TovFrmMain& Main() { return *main_; }
  TovFrmAbout& About() { return *about_; }

  // Everything handed to the shell so far (links, help files, snapshots, error reports), oldest first.
  std::vector<std::wstring> opened;
  // What the tray icon told the shell since start-up.
  TrayRecorder tray;

  // Runs the application's message loop, idle passes included, until `done` holds or the time is up.
  static bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs = 3000);
  // Runs exactly `passes` idle passes of the application (each one after an emptied queue).
  static void RunIdlePasses(int passes);

 private:
  std::unique_ptr<TovModules> modules_;
  std::unique_ptr<TovFrmMain> main_;
  std::unique_ptr<TovFrmAbout> about_;
};

}  // namespace fixture
