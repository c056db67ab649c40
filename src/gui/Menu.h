#pragma once
// Pop-up menus whose items are objects with click events, mirrored into a real HMENU at all times.
//
// How to use:
//   gui::PopupMenu pm;
//   gui::MenuItem& snap = pm.Add(L"&Snap");                  // gets a submenu as soon as it has items
//   snap.Add(L"&Window").OnClick = [](gui::MenuItem&) { ... };
//   gui::MenuItem& hide = snap.Add(L"&Hide");
//   hide.SetChecked(true);
//   hide.SetAutoCheck(true);                                 // a click flips the check mark, then OnClick runs
//   pm.Add(L"-");                                            // caption "-" is a separator
//   pm.Add(L"&Help").SetShortCut(L"F1");                     // shown right-aligned ("&Help\tF1")
//   pm.Popup(owner, x, y);                                   // top-left corner at screen point x,y
// Popup returns after the menu closed and the chosen item's OnClick ran; the owner sees no WM_COMMAND.
// Exceptions thrown by OnClick propagate out of Popup/Click: call Popup inside the owner's own catch boundary.
// Captions go to Windows exactly as given: no accelerator letters are added. Items are owned by their parent
// item; nothing is removed at run time, items are only appended.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Handles.h"

namespace gui {

class PopupMenu;

class MenuItem {
 public:
  using ClickEvent = std::function<void(MenuItem&)>;

  explicit MenuItem(std::wstring caption = {});
  ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);
  bool IsSeparator() const { return caption_ == L"-"; }

  // Text shown right-aligned after the caption ("F1"); empty for none.
  const std::wstring& ShortCut() const { return shortcut_; }
  void SetShortCut(std::wstring shortcut);

  // The text Windows shows: the caption, plus "\t" and the shortcut text when there is one.
  std::wstring DisplayText() const;

  LONG_PTR Tag() const { return tag_; }
  void SetTag(LONG_PTR tag) { tag_ = tag; }

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool auto_check) { autoCheck_ = auto_check; }

  ClickEvent OnClick;

  // Appends a sub-item (this item becomes a submenu) and returns it.
  MenuItem& Add(std::unique_ptr<MenuItem> item);
  MenuItem& Add(std::wstring caption);

  std::size_t Count() const { return items_.size(); }
  MenuItem& Item(std::size_t index) const { return *items_.at(index); }
  MenuItem* Parent() const { return parent_; }
  // Position among the parent's items; -1 without a parent.
  int Index() const;

  // What choosing the item does: flips the check mark of an auto-check item, then runs OnClick.
  // Does nothing on a disabled item or a separator.
  void Click();

  // The command id the menu returns for this item; unique within the process while ids last (65535).
  UINT Id() const { return id_; }
  // The HMENU holding this item's sub-items; null while it has none.
  HMENU Handle() const { return menu_.get(); }
  // This item or one of its descendants with that command id.
  MenuItem* FindById(UINT id);

 private:
  friend class PopupMenu;

  MENUITEMINFOW Describe(std::wstring& text_buffer) const;
  void EnsureSubmenu();
  void Sync();  // rewrites this item's entry in the parent's HMENU

  std::wstring caption_;
  std::wstring shortcut_;
  LONG_PTR tag_ = 0;
  bool checked_ = false;
  bool enabled_ = true;
  bool autoCheck_ = false;
  UINT id_;
  MenuItem* parent_ = nullptr;
  std::vector<std::unique_ptr<MenuItem>> items_;
  UniqueMenu menu_;
};

class PopupMenu {
 public:
  PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  // The root item whose sub-items are the menu's entries.
  MenuItem& Items() { return root_; }
  const MenuItem& Items() const { return root_; }
  MenuItem& Add(std::wstring caption) { return root_.Add(std::move(caption)); }
  MenuItem& Add(std::unique_ptr<MenuItem> item) { return root_.Add(std::move(item)); }
  std::size_t Count() const { return root_.Count(); }
  MenuItem& Item(std::size_t index) const { return root_.Item(index); }
  HMENU Handle() const { return root_.Handle(); }

  // Opens the menu with its top-left corner at the screen point x,y; owner becomes the foreground window first,
  // so that clicking elsewhere or Escape closes the menu. Returns true when an item was chosen (its OnClick has
  // then run: do not touch the menu afterwards if that handler may destroy it).
  bool Popup(HWND owner, int x, int y);

 private:
  MenuItem root_;
};

}  // namespace gui
