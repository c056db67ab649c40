#pragma once
// The tests' view into a tray icon: a shorter animation step, how many steps were taken, which frame shows, and how
// many balloons the shell accepted, and the text of the latest. The icon names this class its friend.
#include <cstddef>
#include <string>

#include "gui/TrayIcon.h"

namespace gui {

class TrayIconProbe {
 public:
  static void SetAnimationInterval(TrayIcon& tray, UINT ms) {
    tray.interval_ = ms < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : ms;
    tray.RestartTimer();
  }
  static std::size_t AnimationSteps(const TrayIcon& tray) { return tray.steps_; }
  static std::size_t CurrentFrame(const TrayIcon& tray) { return tray.frame_; }
  static std::size_t BalloonsShown(const TrayIcon& tray) { return tray.balloons_; }
  static const std::wstring& LastBalloon(const TrayIcon& tray) { return tray.lastBalloon_; }
};

}  // namespace gui
