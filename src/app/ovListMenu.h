#pragma once
// The entries that a list file's lines make in a menu, bounded: a list of any size (another program or an editor
// may have written it) gives at most kMaxEntries entries, each caption cut to a readable length, and one disabled
// last entry that counts the lines not shown. Empty lines make no entry. The lines themselves stay whole in their
// list; the menu only shows them.
#include <cstddef>
#include <string>
#include <unordered_set>

#include "gui/Menu.h"

class TovListMenu {
 public:
  // A menu with a few hundred entries still fits on a screen and opens at once.
  static constexpr std::size_t kMaxEntries = 300;

  // The menu whose entries follow its fixed items.
  void Attach(gui::MenuItem& menu) { menu_ = &menu; }

  // Appends an entry for `line` and returns it; nullptr when the line makes none: it is empty, an entry shows
  // exactly this line already (when `unique`), or the menu is full (the line is then counted in the last entry).
  // Filling a menu from a whole list passes `showCount` false and calls ShowCount once at the end: rewriting the
  // last entry for each of a million lines would take longer than reading them.
  gui::MenuItem* Add(const std::wstring& line, bool unique, bool showCount = true);
  void ShowCount();

  // True when an entry shows exactly this line.
  bool Shows(const std::wstring& line) const { return shown_.count(line) != 0; }
  // True when another line would only be counted.
  bool Full() const { return shown_.size() >= kMaxEntries; }

 private:
  gui::MenuItem* menu_ = nullptr;
  std::unordered_set<std::wstring> shown_;
  std::size_t notShown_ = 0;
  gui::MenuItem* more_ = nullptr;
};
