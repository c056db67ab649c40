#include "engine/ovWinUtils.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/FontText.h"
#include "engine/ovWindowNames.h"

namespace {

constexpr UINT kSendFlags = SMTO_ABORTIFHUNG | SMTO_BLOCK;

using GetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF*, BYTE*, DWORD*);

// Looked up once by name: the attribute reader is absent from older user32 builds.
GetLayeredWindowAttributesFn LayeredAttributesReader() {
  static const GetLayeredWindowAttributesFn reader = [] {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");  // already loaded; not ours to free
    return user32 ? reinterpret_cast<GetLayeredWindowAttributesFn>(
                        reinterpret_cast<void*>(::GetProcAddress(user32, "GetLayeredWindowAttributes")))
                  : nullptr;
  }();
  return reader;
}

// One message to w, answered within the bound or not at all.
std::optional<LRESULT> SendBounded(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(w, message, wParam, lParam, kSendFlags, TovWinUtils::kAnswerTimeoutMs, &result)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(result);
}

// Longest title read. The length comes from the target's own answer, so it is bounded before anything is
// allocated for it: a window that claims a huge length must not exhaust memory or throw in the idle handler.
constexpr std::size_t kMaxTitleLength = 0x100000;

// The window manager's own copy of the title; sends nothing, so it cannot block.
std::wstring StoredTitle(HWND w) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    const int copied = ::InternalGetWindowText(w, buffer.data(), static_cast<int>(buffer.size()));
    if (copied < static_cast<int>(buffer.size()) - 1 || buffer.size() >= kMaxTitleLength) {
      return std::wstring(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring UpToNul(const std::vector<wchar_t>& buffer) {
  return std::wstring(buffer.begin(), std::find(buffer.begin(), buffer.end(), L'\0'));
}

// Room for a title of the reported length and its NUL; a negative length counts as none.
std::vector<wchar_t> TitleBuffer(LRESULT length) {
  const LRESULT kept = std::clamp<LRESULT>(length, 0, static_cast<LRESULT>(kMaxTitleLength));
  return std::vector<wchar_t>(static_cast<std::size_t>(kept) + 1, L'\0');
}

// The title, as GetWindowTextLengthW + GetWindowTextW give it. Those two send WM_GETTEXT(LENGTH) to windows of
// other threads and wait without limit, so for those the messages are sent here with a bound. answered is false
// when the window's thread did not answer in time.
std::wstring ReadTitle(HWND w, bool& answered) {
  answered = true;
  DWORD pid = 0;
  const DWORD owner = ::GetWindowThreadProcessId(w, &pid);
  if (owner == ::GetCurrentThreadId()) {
    std::vector<wchar_t> buffer = TitleBuffer(::GetWindowTextLengthW(w));
    ::GetWindowTextW(w, buffer.data(), static_cast<int>(buffer.size()));
    return UpToNul(buffer);
  }
  const std::optional<LRESULT> length = SendBounded(w, WM_GETTEXTLENGTH, 0, 0);
  if (!length) {
    answered = false;
    return StoredTitle(w);
  }
  std::vector<wchar_t> buffer = TitleBuffer(*length);
  if (pid != ::GetCurrentProcessId()) {
    // Across processes GetWindowTextW reads the stored title and sends nothing.
    ::GetWindowTextW(w, buffer.data(), static_cast<int>(buffer.size()));
    return UpToNul(buffer);
  }
  if (!SendBounded(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()))) {
    answered = false;
    return StoredTitle(w);
  }
  buffer.back() = L'\0';
  return UpToNul(buffer);
}

int ProgramPpi() {
  const UINT dpi = ::GetDpiForSystem();
  return dpi ? static_cast<int>(dpi) : 96;
}

wchar_t UserDecimalSeparator() {
  wchar_t separator[8] = {};
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1) return separator[0];
  return L'.';
}

std::wstring DescribeFont(HFONT font, int ppi) {
  LOGFONTW lf{};
  // A handle of another process cannot be read here (or is no font): no description rather than a wrong one.
  if (::GetObjectW(font, sizeof lf, &lf) != static_cast<int>(sizeof lf)) return {};
  const std::wstring_view face(lf.lfFaceName, LF_FACESIZE);
  return core::FontDescription(face, lf.lfHeight, lf.lfWeight, lf.lfItalic != 0, lf.lfUnderline != 0,
                               lf.lfStrikeOut != 0, ppi, UserDecimalSeparator());
}

}  // namespace

void TovWinUtils::SetWnd(HWND w) {
  Wnd = w;
  WndId = static_cast<int32_t>(::GetWindowLongW(w, GWL_ID));

  bool answers = true;
  WndTitle = ReadTitle(w, answers);
  FSilent = !answers;

  WndClass = WindowClassName(w);

  RECT rect{};
  if (::GetWindowRect(w, &rect)) WndRect = {rect.left, rect.top, rect.right, rect.bottom};

  Enabled = ::IsWindowEnabled(w) != FALSE;
  Visible = ::IsWindowVisible(w) != FALSE;

  WndStyle = static_cast<uint32_t>(::GetWindowLongW(w, GWL_STYLE));
  WndExStyle = static_cast<uint32_t>(::GetWindowLongW(w, GWL_EXSTYLE));
  Topmost = (WndExStyle & WS_EX_TOPMOST) != 0;

  Alpha = (WndExStyle & WS_EX_LAYERED) ? WindowAlpha(w) : 255;

  FontText.clear();
  // A thread that did not answer for the title is not asked again.
  if (answers) {
    const std::optional<LRESULT> font = SendBounded(w, WM_GETFONT, 0, 0);
    if (font && *font) FontText = DescribeFont(reinterpret_cast<HFONT>(*font), FPpi > 0 ? FPpi : ProgramPpi());
  }

  IsChild = (WndStyle & WS_CHILD) != 0;
}

bool TovWinUtils::IsValid() const { return Wnd != nullptr && ::IsWindow(Wnd); }

// The setters' calls send messages to the target and wait for its thread; one that has stopped answering would
// freeze this program. Such a target keeps its state: the call is left out, as if it had failed.
bool TovWinUtils::Answers() {
  FTook = true;
  if (::GetWindowThreadProcessId(Wnd, nullptr) == ::GetCurrentThreadId()) return true;
  // A thread found silent before gets only a short second chance, so one pick does not add up long waits.
  const UINT timeout = FSilent ? kRetryTimeoutMs : kAnswerTimeoutMs;
  DWORD_PTR ignored = 0;
  FSilent = !::SendMessageTimeoutW(Wnd, WM_NULL, 0, 0, kSendFlags, timeout, &ignored);
  return !FSilent;
}

bool TovWinUtils::SetEnabled(bool value) {
  Enabled = value;
  if (!Answers()) return false;
  ::EnableWindow(Wnd, value);
  Enabled = ::IsWindowEnabled(Wnd) != FALSE;
  FTook = Enabled == value;
  return true;
}

bool TovWinUtils::SetVisible(bool value) {
  Visible = value;
  if (!Answers()) return false;
  ::ShowWindow(Wnd, value ? SW_SHOW : SW_HIDE);
  Visible = (::GetWindowLongW(Wnd, GWL_STYLE) & WS_VISIBLE) != 0;
  FTook = Visible == value;
  return true;
}

bool TovWinUtils::SetTopmost(bool value) {
  Topmost = value;
  if (!Answers()) return false;
  ::SetWindowPos(Wnd, value ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  Topmost = (::GetWindowLongW(Wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  FTook = Topmost == value;
  return true;
}

bool TovWinUtils::SetAlpha(uint8_t value) {
  Alpha = value;
  if (!Answers()) return false;
  if (value == 255) {
    ::SetWindowLongW(Wnd, GWL_EXSTYLE, static_cast<LONG>(WndExStyle & ~static_cast<uint32_t>(WS_EX_LAYERED)));
  } else {
    ::SetWindowLongW(Wnd, GWL_EXSTYLE, static_cast<LONG>(WndExStyle | WS_EX_LAYERED));
    ::SetLayeredWindowAttributes(Wnd, 0, value, LWA_ALPHA);
  }
  Alpha = WindowAlpha(Wnd);
  FTook = Alpha == value;
  return true;
}

bool TovWinUtils::SetWndRect(const core::Rect& value) {
  WndRect = value;
  if (!Answers()) return false;
  ::MoveWindow(Wnd, value.left, value.top, value.Width(), value.Height(), TRUE);
  RECT real{};
  ::GetWindowRect(Wnd, &real);
  // A child's rectangle is in its parent's client coordinates, as MoveWindow takes it.
  if (::GetWindowLongW(Wnd, GWL_STYLE) & WS_CHILD) {
    ::MapWindowPoints(nullptr, ::GetParent(Wnd), reinterpret_cast<POINT*>(&real), 2);
  }
  WndRect = {real.left, real.top, real.right, real.bottom};
  FTook = WndRect.left == value.left && WndRect.top == value.top && WndRect.right == value.right &&
          WndRect.bottom == value.bottom;
  return true;
}

uint8_t WindowAlpha(HWND w) {
  if (!(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_LAYERED)) return 255;
  BYTE alpha = 255;
  const GetLayeredWindowAttributesFn reader = LayeredAttributesReader();
  if (!reader || !reader(w, nullptr, &alpha, nullptr)) return 255;
  return alpha;
}

std::wstring BoundedWindowTitle(HWND w) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  // Another process's title is the window manager's copy whatever it answers; asking for its length first would
  // only cost a round trip to that process per window.
  if (pid != ::GetCurrentProcessId()) return StoredTitle(w);
  bool answered = true;
  return ReadTitle(w, answered);
}

HWND TopmostAncestor(HWND start, int32_t* steps) {
  // Owners can be re-pointed into a loop; real chains are a handful of windows long.
  constexpr int32_t kMaxSteps = 4096;
  HWND top = start;
  int32_t climbed = 0;
  for (HWND up = ::GetParent(top); up && climbed < kMaxSteps; up = ::GetParent(up)) {
    top = up;
    ++climbed;
  }
  if (steps) *steps = climbed;
  return top;
}

HWND WindowUnderPoint(POINT point) {
  HWND window = ::WindowFromPoint(point);
  if (!window) return nullptr;
  POINT client = point;
  ::ScreenToClient(window, &client);
  if (HWND child = ::ChildWindowFromPoint(window, client)) return child;
  return window;
}
