#pragma once
// The application-paths object and the product record: process-wide, read-only after start-up.
#include <windows.h>

#include <string>

class TovApp {
 public:
  // Reads the full path of the running executable; a test may name another path.
  TovApp();
  explicit TovApp(std::wstring exeName);

  std::wstring ExeName;  // full path and file name of the executable, as the system reports it
  std::wstring ExePath;  // its folder, ending in the path delimiter

  // Companion files beside the executable, named after its full path.
  std::wstring TaskFileName() const;      // extension replaced by ".ini"
  std::wstring SetFileName() const;       // extension replaced by ".log"
  std::wstring SnapshotFileName() const;  // ".tmp.bmp" appended to the whole name
  std::wstring ActionLogFileName() const;  // extension replaced by ".actions.txt"
};

class TovProject {
 public:
  TovProject();  // fills the record and sets the application title

  std::wstring Name;
  std::wstring Title;
  std::wstring Version;
};

// An icon resource of the executable, size x size pixels; nullptr when there is none. Loaded shared: the system
// owns it and it is never destroyed, so it may be handed to any control and loaded again at will.
HICON ExecutableIcon(const wchar_t* name, int size);

extern TovApp* ovApp;
extern TovProject* ovProject;
