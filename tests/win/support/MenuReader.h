#pragma once
// A menu as Windows holds it, read back with GetMenuItemInfoW.
#include <windows.h>

#include <string>
#include <vector>

namespace gui {

struct MenuEntry {
  std::wstring text;  // including "\t" and the shortcut text
  bool separator = false;
  bool checked = false;
  bool enabled = true;
  std::vector<MenuEntry> items;  // the submenu
  bool operator==(const MenuEntry&) const = default;
};

std::vector<MenuEntry> ReadMenu(HMENU menu);

}  // namespace gui
