#pragma once
// Driving the program while one of its own loops runs (a modal window, a wait for a key): a list of steps run from a
// thread timer on the test's thread, each as soon as its condition holds. The program's loop dispatches the timer's
// messages, so the steps send real input and read state while the code under test is still inside its call.
//
//   fixture::TimedScript script;
//   script.Then([] { fixture::PointerTo({100, 50}); }, [] { return ovEmpty->Visible(); })
//         .Then([] { fixture::LeftButton(true); });
//   script.Start(5000, [] { ::PostMessageW(ovEmpty->Handle(), WM_CLOSE, 0, 0); });   // ends the loop if stuck
//   core::Rect r = SelectRegion();
//   script.Stop();
//   EXPECT_TRUE(script.Done());
//   EXPECT_FALSE(script.TimedOut());
//
// One script ticks at a time. Steps must not pump messages themselves.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "support/Poll.h"

namespace fixture {

class TimedScript {
 public:
  using Action = std::function<void()>;
  using Condition = std::function<bool()>;

  TimedScript() = default;
  TimedScript(const TimedScript&) = delete;
  TimedScript& operator=(const TimedScript&) = delete;
  ~TimedScript();

  // Adds a step that runs once `ready` holds (at once when it is empty).
  TimedScript& Then(Action act, Condition ready = {});
  // Starts ticking every 10 ms. When `timeoutMs` passes before Stop() (steps done or not), the script stops and
  // `onTimeout` runs, so that a loop that should have ended with the steps still ends.
  void Start(int timeoutMs, Action onTimeout = {});
  void Stop();  // also when the object goes

  bool Done() const { return next_ == steps_.size(); }
  bool TimedOut() const { return timedOut_; }
  std::size_t StepsDone() const { return next_; }

 private:
  struct Step {
    Action act;
    Condition ready;
  };
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept;
  void Advance();

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  UINT_PTR timer_ = 0;
  ULONGLONG deadline_ = 0;
  bool timedOut_ = false;
  Action onTimeout_;
};

}  // namespace fixture
