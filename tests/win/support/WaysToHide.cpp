#include "support/WaysToHide.h"

#include <gtest/gtest.h>

#include "support/Poll.h"

namespace fixture {

std::vector<WayToHide> WaysToHide(HWND window, const std::function<void()>& trayClick) {
  return {
      {"WM_CLOSE", [window] { ::PostMessageW(window, WM_CLOSE, 0, 0); }},
      {"system menu Close", [window] { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"minimise", [window] { ::PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
      {"Alt+F4",
       [window] {
         ASSERT_TRUE(BringToFront(window));
         KeyChord({VK_MENU, VK_F4});
       }},
      {"tray click", trayClick},
  };
}

}  // namespace fixture
