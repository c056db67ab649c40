#pragma once
// Windows to pick and inspect in tests: solid-colour top-level windows that record caption presses, child
// controls with known fonts and identifiers, a dialog with an owner, and a window on a thread of its own that
// answers or stops answering.
#include <windows.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "base/Handles.h"
#include "gui/Handles.h"
#include "support/WindowClasses.h"

class TovFrmMain;

namespace fixture {

inline constexpr wchar_t kSolidClass[] = L"SkimletInspectFixture";

// A borderless top-level window (or, with a parent, a child) filled with one colour. A press on its caption
// (WM_NCLBUTTONDOWN with HTCAPTION) is recorded instead of starting a move.
class SolidWindow {
 public:
  SolidWindow(const wchar_t* title, const RECT& bounds, COLORREF color, DWORD exStyle = 0, HWND parent = nullptr,
              int id = 0);
  SolidWindow(const SolidWindow&) = delete;
  SolidWindow& operator=(const SolidWindow&) = delete;

  HWND get() const { return window_.get(); }
  COLORREF color() const { return color_; }
  std::vector<LPARAM> captionPresses;  // lParam of each caption press, in order

  // The window procedure of the class, shared with ThreadWindow (which records nothing).
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  COLORREF color_;
  gui::UniqueBrush brush_;
  OwnedWindow window_;
};

// A child control of a system class, in pixels of the parent's client area; destroyed with its parent.
HWND AddChild(HWND parent, const wchar_t* className, const wchar_t* title, int id, const RECT& bounds,
              DWORD style = WS_CHILD | WS_VISIBLE);

gui::UniqueFont MakeFont(const wchar_t* face, int height, int weight, bool italic = false, bool underline = false,
                         bool strikeOut = false);

// A real dialog (class "#32770") owned by `owner`, placed at `bounds` in screen pixels, without controls.
OwnedWindow MakeDialog(HWND owner, const wchar_t* title, const RECT& bounds);

// A visible top-level window on a thread of its own, with an edit child "inner" (id 7) whose font is set before the
// window is handed over. With `pump` the thread answers messages until the object goes; without, it stops answering
// once the window exists, like a program that hangs. The window is of the class `className`: the solid-colour class
// above (registered here) or one that the caller registered.
class ThreadWindow {
 public:
  ThreadWindow(const wchar_t* title, const RECT& bounds, HFONT editFont, bool pump,
               const wchar_t* className = kSolidClass, DWORD style = WS_POPUP | WS_VISIBLE);
  ~ThreadWindow();
  ThreadWindow(const ThreadWindow&) = delete;
  ThreadWindow& operator=(const ThreadWindow&) = delete;
  HWND get() const { return window_; }
  HWND edit() const { return edit_; }

 private:
  base::UniqueHandleObject ready_;
  base::UniqueHandleObject release_;
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
  std::thread thread_;
};

// The memo's text exactly as the control holds it (WM_GETTEXT), and split into lines.
std::wstring MemoText(const TovFrmMain& main);
std::vector<std::wstring> MemoLines(const TovFrmMain& main);

// "0x%.6X(%d)" of a 32-bit value: upper-case hexadecimal with at least six digits, then the signed decimal.
std::wstring HexDec(uint32_t value);
uint32_t LowBits(HWND window);

// The screen point of a client point of the main window given in 96-DPI design units.
POINT MainClientPoint(const TovFrmMain& main, int designX, int designY);

}  // namespace fixture
