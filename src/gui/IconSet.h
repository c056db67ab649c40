#pragma once
// A few icons of one size, owned together (not a Win32 image list: plain icon handles); the tray icon's animation
// frames come from here.
//
// How to use:
//   gui::IconSet frames(16);
//   frames.AddFromResource(nullptr, L"TRAY_1");   // nullptr: this executable's resources
//   frames.AddFromResource(nullptr, L"TRAY_2");
//   trayIcon.SetFrames(frames.Icons());              // the set must outlive the tray icon's use of them
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "gui/Handles.h"

namespace gui {

class IconSet {
 public:
  explicit IconSet(int size = 16) : size_(size) {}

  // Loads the icon resource of that name at the list's size (the best-matching image of the group).
  bool AddFromResource(HMODULE module, const std::wstring& name);
  // Takes ownership of an icon made elsewhere; false (and nothing kept) for a null icon.
  bool Add(UniqueIcon icon);

  int Size() const { return size_; }
  std::size_t Count() const { return icons_.size(); }
  HICON Icon(std::size_t index) const { return icons_.at(index).get(); }
  std::vector<HICON> Icons() const;

 private:
  int size_;
  std::vector<UniqueIcon> icons_;
};

}  // namespace gui
