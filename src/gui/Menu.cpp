#include "gui/Menu.h"

#include <stdexcept>

namespace gui {
namespace {

constexpr UINT kLastCommandId = 0xFFFF;  // command ids travel in 16 bits (WM_COMMAND's LOWORD)

// Ids come from one process-wide counter, so items moved between menus never collide.
// All menus live on the interface thread.
UINT NextCommandId() {
  static UINT last = 0;
  last = last % kLastCommandId + 1;
  return last;
}

}  // namespace

MenuItem::MenuItem(std::wstring caption) : caption_(std::move(caption)), id_(NextCommandId()) {}

MenuItem::~MenuItem() {
  if (menu_) {
    // Detach the submenus first: DestroyMenu would destroy them too, and each child owns its own.
    while (::GetMenuItemCount(menu_.get()) > 0) {
      if (!::RemoveMenu(menu_.get(), 0, MF_BYPOSITION)) break;
    }
  }
  items_.clear();
}

std::wstring MenuItem::DisplayText() const {
  if (shortcut_.empty()) return caption_;
  return caption_ + L"\t" + shortcut_;
}

void MenuItem::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  Sync();
}

void MenuItem::SetShortCut(std::wstring shortcut) {
  shortcut_ = std::move(shortcut);
  Sync();
}

void MenuItem::SetChecked(bool checked) {
  checked_ = checked;
  Sync();
}

void MenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Sync();
}

MENUITEMINFOW MenuItem::Describe(std::wstring& text_buffer) const {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  if (IsSeparator()) {
    info.fType = MFT_SEPARATOR;
  } else {
    info.fMask |= MIIM_STRING;
    info.fType = MFT_STRING;
    text_buffer = DisplayText();
    info.dwTypeData = text_buffer.data();
    info.cch = static_cast<UINT>(text_buffer.size());
  }
  info.fState = (checked_ ? MFS_CHECKED : MFS_UNCHECKED) | (enabled_ ? MFS_ENABLED : MFS_DISABLED);
  info.wID = id_;
  info.hSubMenu = menu_.get();
  info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  return info;
}

void MenuItem::Sync() {
  if (!parent_ || !parent_->menu_) return;
  const int position = Index();
  if (position < 0) return;
  std::wstring text;
  MENUITEMINFOW info = Describe(text);
  ::SetMenuItemInfoW(parent_->menu_.get(), static_cast<UINT>(position), TRUE, &info);
}

void MenuItem::EnsureSubmenu() {
  if (menu_) return;
  menu_.reset(::CreatePopupMenu());
  Sync();  // the entry in the parent now opens the submenu
}

int MenuItem::Index() const {
  if (!parent_) return -1;
  for (std::size_t i = 0; i < parent_->items_.size(); ++i) {
    if (parent_->items_[i].get() == this) return static_cast<int>(i);
  }
  return -1;
}

MenuItem& MenuItem::Add(std::unique_ptr<MenuItem> item) {
  if (!item) throw std::invalid_argument("MenuItem::Add: no item");
  EnsureSubmenu();
  item->parent_ = this;
  std::wstring text;
  MENUITEMINFOW info = item->Describe(text);
  ::InsertMenuItemW(menu_.get(), static_cast<UINT>(items_.size()), TRUE, &info);
  items_.push_back(std::move(item));
  return *items_.back();
}

MenuItem& MenuItem::Add(std::wstring caption) { return Add(std::make_unique<MenuItem>(std::move(caption))); }

void MenuItem::Click() {
  if (!enabled_ || IsSeparator()) return;
  if (autoCheck_) SetChecked(!checked_);
  // A copy, so a handler that replaces OnClick does not destroy the function it runs in.
  ClickEvent handler = OnClick;
  if (handler) handler(*this);
}

MenuItem* MenuItem::FindById(UINT id) {
  if (id_ == id) return this;
  for (auto& item : items_) {
    if (MenuItem* found = item->FindById(id)) return found;
  }
  return nullptr;
}

PopupMenu::PopupMenu() { root_.EnsureSubmenu(); }

bool PopupMenu::Popup(HWND owner, int x, int y) {
  if (!owner || !::IsWindow(owner) || !root_.menu_) return false;
  // Without the foreground, the menu would not close when the user clicks elsewhere (and would not get keys).
  ::SetForegroundWindow(owner);
  const UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN;
  const UINT chosen = static_cast<UINT>(::TrackPopupMenu(root_.menu_.get(), flags, x, y, 0, owner, nullptr));
  // Lets the owner's thread leave menu mode cleanly before anything else is shown.
  ::PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen == 0) return false;
  MenuItem* item = root_.FindById(chosen);
  if (!item || item == &root_) return false;
  item->Click();
  return true;
}

}  // namespace gui
