#include "engine/ovWindowWatch.h"

#include <algorithm>

void TovWindowWatch::Watch(HWND top, DWORD now) {
  if (std::any_of(entries_.begin(), entries_.end(), [top](const Entry& e) { return e.top == top; })) return;
  if (entries_.size() >= kMaxWindows) {
    entries_.erase(entries_.begin());
    if (next_ > 0) --next_;
  }
  entries_.push_back({top, now});
}

void TovWindowWatch::Forget(HWND top) {
  const auto found = std::find_if(entries_.begin(), entries_.end(), [top](const Entry& e) { return e.top == top; });
  if (found == entries_.end()) return;
  if (static_cast<std::size_t>(found - entries_.begin()) < next_) --next_;
  entries_.erase(found);
}

void TovWindowWatch::Clear() {
  entries_.clear();
  next_ = 0;
}

void TovWindowWatch::Pass(DWORD now, std::chrono::steady_clock::time_point deadline) {
  const std::size_t turns = entries_.size();
  for (std::size_t turn = 0; turn < turns && !entries_.empty(); ++turn) {
    if (turn > 0 && std::chrono::steady_clock::now() >= deadline) break;
    if (next_ >= entries_.size()) next_ = 0;
    const Entry entry = entries_[next_];
    // Unsigned: right across the counter's wrap.
    const bool drop = now - entry.since >= kWatchForMs || !::IsWindow(entry.top) || look_(entry.top);
    // The look may have changed the list (a window forgotten meanwhile): the entry is found again by its window.
    if (drop) {
      Forget(entry.top);
    } else {
      ++next_;
    }
  }
}
