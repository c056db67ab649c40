#pragma once
// Windows that may yet become what a task names: a dialog that makes its controls after it shows, a window that
// takes its title later, and, where no event says so, a window shown after it was made. Each window handed in is
// looked at again on every pass, for a few seconds after it was first handed in, until the look says it is done
// with it.
//
// The cost is bounded however many windows another program makes: at most kMaxWindows are watched (the oldest go
// first), and a pass ends at its deadline; the next one goes on where it stopped, so every window gets its turn.
// The watch owns no timer: its owner runs a pass when its own timer fires, and only while Empty() is false.
//
//   TovWindowWatch watch([&](HWND top) { return ActedOn(top); });
//   watch.Watch(top, ::GetTickCount());
//   watch.Pass(::GetTickCount(), std::chrono::steady_clock::now() + 2ms);
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

class TovWindowWatch {
 public:
  // Looks at a watched window; true when the watch is done with it (it was acted on, say).
  using Look = std::function<bool(HWND top)>;

  static constexpr DWORD kWatchForMs = 3000;
  static constexpr std::size_t kMaxWindows = 256;

  explicit TovWindowWatch(Look look) : look_(std::move(look)) {}

  // Starts watching `top`, first seen at tick count `now`; a window watched already keeps its time.
  void Watch(HWND top, DWORD now);
  void Forget(HWND top);
  void Clear();
  bool Empty() const { return entries_.empty(); }
  std::size_t Size() const { return entries_.size(); }

  // Looks at the watched windows in turn until each had one look or the deadline has passed (one look at least).
  // Windows that are gone, done with, or watched for kWatchForMs are dropped.
  void Pass(DWORD now, std::chrono::steady_clock::time_point deadline);

 private:
  struct Entry {
    HWND top;
    DWORD since;  // tick count when first handed in
  };

  Look look_;
  std::vector<Entry> entries_;
  std::size_t next_ = 0;  // where the next pass starts
};
