#include "support/MainWindow.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/ovMainForm.h"

namespace fixture {
namespace {

std::wstring Caption(HMENU menu, int index) {
  wchar_t text[512] = {};
  ::GetMenuStringW(menu, static_cast<UINT>(index), text, 512, MF_BYPOSITION);
  return text;
}

// The position of the item whose caption (without a shortcut after a tab) is `caption`; -1 for none.
int IndexOf(HMENU menu, const std::wstring& caption) {
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const std::wstring text = Caption(menu, i);
    if (text == caption || text.substr(0, text.find(L'\t')) == caption) return i;
  }
  return -1;
}

// The menu that holds the item at the end of `path`, and the item's position in it; {nullptr, -1} for none.
std::pair<HMENU, int> Find(const TovFrmMain& main, const std::vector<std::wstring>& path, const wchar_t* menu) {
  HMENU holder = nullptr;
  int index = -1;
  HMENU current = main.MenuHandle(menu);
  for (const std::wstring& caption : path) {
    holder = current;
    index = current ? IndexOf(current, caption) : -1;
    if (index < 0) return {nullptr, -1};
    current = ::GetSubMenu(current, index);
  }
  return {holder, index};
}

}  // namespace

bool Checked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool Enabled(HWND control) { return ::IsWindowEnabled(control) != FALSE; }

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int Position(HWND trackBar) { return static_cast<int>(::SendMessageW(trackBar, TBM_GETPOS, 0, 0)); }

void Type(HWND edit, const std::wstring& text) { ::SetWindowTextW(edit, text.c_str()); }

void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }

void Slide(HWND trackBar, int position) {
  ::SendMessageW(trackBar, TBM_SETPOS, TRUE, position);
  ::SendMessageW(::GetParent(trackBar), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(trackBar));
}

void Choose(TovFrmMain& main, const std::vector<std::wstring>& path, const wchar_t* menu) {
  const auto [holder, index] = Find(main, path, menu);
  ASSERT_GE(index, 0) << "no menu item " << testing::PrintToString(path.back());
  ::SendMessageW(main.Handle(), WM_COMMAND, MAKEWPARAM(::GetMenuItemID(holder, index), 0), 0);
}

bool MenuChecked(const TovFrmMain& main, const std::vector<std::wstring>& path) {
  const auto [holder, index] = Find(main, path, L"pm");
  EXPECT_GE(index, 0) << "no menu item " << testing::PrintToString(path.back());
  return index >= 0 && (::GetMenuState(holder, static_cast<UINT>(index), MF_BYPOSITION) & MF_CHECKED) != 0;
}

HMENU Submenu(TovFrmMain& main, const std::wstring& caption) {
  const HMENU menu = main.MenuHandle(L"pm");
  return ::GetSubMenu(menu, IndexOf(menu, caption));
}

std::vector<std::wstring> MenuCaptions(HMENU menu, std::size_t first) {
  std::vector<std::wstring> captions;
  const int count = ::GetMenuItemCount(menu);
  for (int i = static_cast<int>(first); i < count; ++i) captions.push_back(Caption(menu, i));
  return captions;
}

void ExpectControlsLaidOut(const TovFrmMain& main) {
  struct Shown {
    const wchar_t* name;
    const wchar_t* caption;  // nullptr: none to read
    bool needsTarget;
  };
  const std::vector<std::vector<Shown>> rows = {
      {{L"pnl", nullptr, false},
       {L"cbEnable", L"&Enable", true},
       {L"cbVisible", L"&Visible", true},
       {L"cbTopmost", L"&On top", true},
       {L"bSnapWin", nullptr, false},
       {L"bSnapReg", nullptr, false},
       {L"bMenu", L"&Menu", false}},
      {{L"eLeft", nullptr, false},
       {L"eTop", nullptr, false},
       {L"eWidth", nullptr, false},
       {L"eHeight", nullptr, false},
       {L"bSize", L"&Set", true},
       {L"tp", nullptr, true}},
      {{L"mm", nullptr, false}},
  };
  RECT client{};
  ::GetClientRect(main.Handle(), &client);
  std::vector<std::pair<const wchar_t*, RECT>> placed;
  LONG rowBottom = 0;
  for (const auto& row : rows) {
    LONG left = -1;
    LONG bottom = 0;
    for (const Shown& shown : row) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(shown.name)));
      const HWND control = main.ControlHandle(shown.name);
      ASSERT_NE(control, nullptr);
      EXPECT_TRUE(::IsWindowVisible(control));
      EXPECT_EQ(Enabled(control), !shown.needsTarget);
      RECT at{};
      ::GetWindowRect(control, &at);
      ::MapWindowPoints(nullptr, main.Handle(), reinterpret_cast<POINT*>(&at), 2);
      EXPECT_TRUE(at.left >= 0 && at.top >= 0 && at.right <= client.right && at.bottom <= client.bottom)
          << "cut off by the window's edge";
      EXPECT_GT(at.left, left) << "out of reading order";
      EXPECT_GE(at.top, rowBottom) << "over the row above";
      left = at.left;
      if (std::wstring(shown.name) != L"pnl") bottom = std::max(bottom, at.bottom);  // the swatch spans two rows
      for (const auto& [other, rect] : placed) {  // neighbours may share an edge of a pixel or two
        RECT common{};
        const bool covers = ::IntersectRect(&common, &at, &rect) && common.right - common.left > 2 &&
                            common.bottom - common.top > 2;
        EXPECT_FALSE(covers) << "covers " << testing::PrintToString(std::wstring(other));
      }
      placed.emplace_back(shown.name, at);
      if (!shown.caption) continue;
      EXPECT_EQ(TextOf(control), shown.caption);
      // The caption's width in the control's font, and the box that a check box draws before it.
      const HDC dc = ::GetDC(control);
      const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
      RECT text{};
      ::DrawTextW(dc, shown.caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);
      ::SelectObject(dc, old);
      ::ReleaseDC(control, dc);
      const bool box = (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
      const int glyph = box ? ::GetSystemMetricsForDpi(SM_CXMENUCHECK, static_cast<UINT>(main.Dpi())) : 0;
      EXPECT_LE(glyph + text.right, at.right - at.left) << "the caption is cut off";
      EXPECT_LE(text.bottom, at.bottom - at.top) << "the caption is cut off";
    }
    rowBottom = bottom;
  }
  // The picker lies on its swatch, exactly.
  RECT picker{}, swatch{};
  ::GetWindowRect(main.ControlHandle(L"grab"), &picker);
  ::GetWindowRect(main.ControlHandle(L"pnl"), &swatch);
  EXPECT_TRUE(::EqualRect(&picker, &swatch));
  EXPECT_TRUE(::IsWindowVisible(main.ControlHandle(L"grab")));
}

}  // namespace fixture
