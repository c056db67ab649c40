#include "support/InspectFixtures.h"

#include <cstring>
#include <cwchar>

#include <gtest/gtest.h>

#include "app/ovMainForm.h"
#include "core/TextLines.h"
#include "support/MainWindow.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"

namespace fixture {
namespace {

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) noexcept { return message == WM_INITDIALOG; }

}  // namespace

SolidWindow::SolidWindow(const wchar_t* title, const RECT& bounds, COLORREF color, DWORD exStyle, HWND parent, int id)
    : color_(color), brush_(::CreateSolidBrush(color)) {
  RegisterTestClass(kSolidClass, &SolidWindow::Proc);
  const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
  window_.reset(::CreateWindowExW(exStyle, kSolidClass, title, style, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                  this));
  ::UpdateWindow(window_.get());
}

LRESULT CALLBACK SolidWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<SolidWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND:
      if (self) {
        RECT client;
        ::GetClientRect(window, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, self->brush_.get());
        return 1;
      }
      break;
    case WM_NCLBUTTONDOWN:
      if (wParam == HTCAPTION && self) {
        self->captionPresses.push_back(lParam);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND AddChild(HWND parent, const wchar_t* className, const wchar_t* title, int id, const RECT& bounds, DWORD style) {
  return ::CreateWindowExW(0, className, title, style, bounds.left, bounds.top, bounds.right - bounds.left,
                           bounds.bottom - bounds.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

gui::UniqueFont MakeFont(const wchar_t* face, int height, int weight, bool italic, bool underline, bool strikeOut) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
  return gui::UniqueFont(::CreateFontIndirectW(&lf));
}

OwnedWindow MakeDialog(HWND owner, const wchar_t* title, const RECT& bounds) {
  // DLGTEMPLATE, then the menu, class and title arrays; no DS_SETFONT, no items. WORD-aligned, DWORD at start.
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  header->cx = 100;
  header->cy = 60;
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (const wchar_t* c = title; *c; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  std::vector<DWORD> aligned((words.size() * sizeof(WORD) + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
  std::memcpy(aligned.data(), words.data(), words.size() * sizeof(WORD));
  HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(aligned.data()), owner, DialogProc,
                                             0);
  if (dialog) {
    ::SetWindowPos(dialog, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::UpdateWindow(dialog);
  }
  return OwnedWindow(dialog);
}

ThreadWindow::ThreadWindow(const wchar_t* title, const RECT& bounds, HFONT editFont, bool pump,
                           const wchar_t* className, DWORD style)
    : ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), release_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  RegisterTestClass(kSolidClass, &SolidWindow::Proc);
  // The thread gets its own copy of every handle it waits on, all made before it starts.
  const HANDLE ready = ready_.get();
  HANDLE release = release_.get();
  thread_ = std::thread([this, title, bounds, editFont, pump, className, style, ready, release]() mutable {
    window_ = ::CreateWindowExW(0, className, title, style, bounds.left, bounds.top, bounds.right - bounds.left,
                                bounds.bottom - bounds.top, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (window_) {
      edit_ = AddChild(window_, L"EDIT", L"inner", 7, {4, 4, 120, 24});
      ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(editFont), FALSE);
    }
    ::SetEvent(ready);
    if (pump) {
      while (::MsgWaitForMultipleObjects(1, &release, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
      }
    } else {
      ::WaitForSingleObject(release, INFINITE);  // answers nothing from here on
    }
    if (window_) ::DestroyWindow(window_);
  });
  ::WaitForSingleObject(ready, 10000);
}

ThreadWindow::~ThreadWindow() {
  ::SetEvent(release_.get());
  thread_.join();
}

std::wstring MemoText(const TovFrmMain& main) { return TextOf(main.ControlHandle(L"mm")); }

std::vector<std::wstring> MemoLines(const TovFrmMain& main) { return core::SplitLines(MemoText(main)); }

std::wstring HexDec(uint32_t value) {
  wchar_t buffer[40];
  std::swprintf(buffer, 40, L"0x%.6X(%d)", value, static_cast<int32_t>(value));
  return buffer;
}

uint32_t LowBits(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }

POINT MainClientPoint(const TovFrmMain& main, int designX, int designY) {
  POINT point{main.Scale(designX), main.Scale(designY)};
  ::ClientToScreen(main.Handle(), &point);
  return point;
}

}  // namespace fixture
