#pragma once
// Start-up and shutdown of the whole program, in one explicit order.
#include <memory>
#include <string>

class TovApp;
class TovEmpty;
class TovEngineHost;
class TovProject;

// The process-wide objects, created before any window of ours in this order: what the engine needs of the tool
// window (its waits, exception sink and own windows), the region overlay `ovEmpty`, the application paths `ovApp`,
// the product record `ovProject` (which sets the application title); then the exception handler is installed. Released in reverse order, before the windows go. The overlay's window is made later, by
// CreateOverlayWindow once the main window shows, or when a region snapshot first needs it: it stays hidden until
// then, so making it before the main window would only delay that window.
class TovModules {
 public:
  // exeName: the executable's full path; empty: the running executable's, as the system reports it.
  explicit TovModules(std::wstring exeName = {});
  ~TovModules();
  TovModules(const TovModules&) = delete;
  TovModules& operator=(const TovModules&) = delete;

  void CreateOverlayWindow();

 private:
  std::unique_ptr<TovEngineHost> host_;
  std::unique_ptr<TovEmpty> empty_;
  std::unique_ptr<TovApp> app_;
  std::unique_ptr<TovProject> project_;
};

// Runs Skimlet: creates the process-wide objects and the two windows, runs the message loop until the user
// chooses Exit, and releases everything in reverse order. Returns the process exit code: 1 when the main window
// could not be created.
int RunSkimlet(int showCommand);
