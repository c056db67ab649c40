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
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

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

// Input for steps: nothing here pumps messages. The pointer moves with SetCursorPos followed by a zero relative
// move, so the window under it hears of the move.
void PointerTo(POINT screen);
void LeftButton(bool down);
void Key(WORD virtualKey, bool down);
// Presses the keys in order and releases them in reverse order, all in one SendInput call.
void KeyChord(std::initializer_list<WORD> keys);

// The screen's pixels in `area`, row by row from the top, as 0x00RRGGBB.
std::vector<std::uint32_t> ScreenPixels(const RECT& area);

// Width, height and pixel (0x00RRGGBB, counted from the top-left) of a bottom-up 24 or 32-bit BMP file's bytes;
// nullopt when the bytes are not such a file or the pixel lies outside it.
std::optional<SIZE> BmpSize(const std::string& file);
std::optional<std::uint32_t> BmpPixel(const std::string& file, int x, int y);

}  // namespace fixture
