#include "support/MenuReader.h"

namespace gui {

std::vector<MenuEntry> ReadMenu(HMENU menu) {
  std::vector<MenuEntry> entries;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    MenuEntry entry;
    entry.separator = (info.fType & MFT_SEPARATOR) != 0;
    entry.checked = (info.fState & MFS_CHECKED) != 0;
    entry.enabled = (info.fState & MFS_DISABLED) == 0;
    const HMENU submenu = info.hSubMenu;
    if (!entry.separator && info.cch > 0) {
      std::wstring text(info.cch + 1, L'\0');
      info.fMask = MIIM_STRING;
      info.dwTypeData = text.data();
      info.cch = static_cast<UINT>(text.size());
      if (::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
        text.resize(info.cch);
        entry.text = std::move(text);
      }
    }
    if (submenu) entry.items = ReadMenu(submenu);
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace gui
