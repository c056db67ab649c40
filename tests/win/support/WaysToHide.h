#pragma once
// The ways a user or the system closes or minimises the main window, each as it arrives from outside the program
// (a posted message or key input): the window only hides to the tray on each of them.
#include <windows.h>

#include <functional>
#include <vector>

namespace fixture {

struct WayToHide {
  const char* name;
  std::function<void()> act;
};

// `trayClick` clicks the tray icon, which hides a shown window too.
std::vector<WayToHide> WaysToHide(HWND window, const std::function<void()>& trayClick);

}  // namespace fixture
