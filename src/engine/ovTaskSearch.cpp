#include "engine/ovTaskSearch.h"

#include <utility>

namespace {

// More windows than a session can hold (the window manager's handle table has 65,536 entries): a walk this long
// goes round in circles in a tree that is being reordered under it.
constexpr std::size_t kMaxVisits = 1 << 18;

}  // namespace

TovTaskWindowSearch::TovTaskWindowSearch(HWND top, int32_t levels, std::wstring className, std::wstring windowName)
    : top_(top), levels_(levels), className_(std::move(className)), windowName_(std::move(windowName)) {}

bool TovTaskWindowSearch::Visit() {
  if (static_cast<int32_t>(path_.size()) < levels_) return false;
  found_ = ::FindWindowExW(path_.back(), nullptr, className_.c_str(), windowName_.c_str());
  return found_ != nullptr;
}

bool TovTaskWindowSearch::Advance() {
  if (const HWND child = ::GetWindow(path_.back(), GW_CHILD)) {
    path_.push_back(child);
    return true;
  }
  while (!path_.empty()) {
    const HWND parent = path_.size() > 1 ? path_[path_.size() - 2] : top_;
    const HWND sibling = ::GetWindow(path_.back(), GW_HWNDNEXT);
    // A sibling under another parent: the window was moved while the walk paused; its old siblings are over.
    if (sibling && ::GetAncestor(sibling, GA_PARENT) == parent) {
      path_.back() = sibling;
      return true;
    }
    path_.pop_back();
  }
  return false;
}

bool TovTaskWindowSearch::Continue(std::chrono::steady_clock::time_point deadline) {
  if (over_) return true;
  if (levels_ < 0 || !::IsWindow(top_)) {
    over_ = true;
    return true;
  }
  if (levels_ == 0) {
    found_ = ::FindWindowExW(top_, nullptr, className_.c_str(), windowName_.c_str());
    over_ = true;
    return true;
  }
  if (!started_) {
    started_ = true;
    const HWND first = ::GetWindow(top_, GW_CHILD);
    if (!first) {
      over_ = true;
      return true;
    }
    path_.push_back(first);
    if (Visit()) {
      over_ = true;
      return true;
    }
  }
  for (;;) {
    if (!Advance() || ++visits_ > kMaxVisits) {
      over_ = true;
      return true;
    }
    if (Visit()) {
      over_ = true;
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
}

HWND FindTaskWindow(HWND top, int32_t levels, const std::wstring& className, const std::wstring& windowName) {
  TovTaskWindowSearch search(top, levels, className, windowName);
  search.Continue(std::chrono::steady_clock::time_point::max());
  return search.Found();
}
