#include "gui/BalloonHint.h"

#include "core/HintText.h"
#include "core/Layout.h"
#include "gui/Window.h"

namespace gui {
namespace {

constexpr wchar_t kNotifyClass[] = L"SkimletBalloonHintNotify";

// The balloon that ShowHintNow shows: one tracking tool of the tooltip itself with its own text, and the timer
// that takes it away again.
constexpr UINT_PTR kNowToolId = 1;
constexpr UINT_PTR kNowTimerId = 1001;  // the tooltip's own timers are numbered from 1

TTTOOLINFOW NowTool(HWND tooltip) {
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  info.hwnd = tooltip;
  info.uId = kNowToolId;
  return info;
}

void CALLBACK EndShowNow(HWND tooltip, UINT, UINT_PTR id, DWORD) noexcept {
  ::KillTimer(tooltip, id);
  TTTOOLINFOW info = NowTool(tooltip);
  ::SendMessageW(tooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

BalloonHint::BalloonHint(HWND owner) { Create(owner); }

bool BalloonHint::Create(HWND owner) {
  if (tooltip_) return false;
  InitCommonControlClasses();
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (!RegisterProcedureClass(instance, kNotifyClass, &BalloonHint::NotifyProc)) return false;
  // Every tool names this window as its container, so the tooltip's notifications come to us whichever window
  // the control lives in.
  notify_window_ = ::CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
  if (!notify_window_) return false;
  tooltip_ =
      ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
  if (!tooltip_) return false;
  ::SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kAutoPopMs, 0));
  const UINT dpi = owner ? ::GetDpiForWindow(owner) : ::GetDpiForSystem();
  ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, core::ScaleToDpi(kMaxTipWidth, dpi ? static_cast<int>(dpi) : 96));
  return true;
}

BalloonHint::~BalloonHint() {
  for (const auto& [control, parent] : on_parent_) {
    if (::IsWindow(parent)) ::RemoveWindowSubclass(parent, &BalloonHint::ParentProc, 0);
  }
  // An owner destroyed first has taken the tooltip with it.
  if (tooltip_ && ::IsWindow(tooltip_)) ::DestroyWindow(tooltip_);
  if (notify_window_) {
    ::SetWindowLongPtrW(notify_window_, GWLP_USERDATA, 0);
    ::DestroyWindow(notify_window_);
  }
}

TTTOOLINFOW BalloonHint::ToolInfo(HWND control) const {
  TTTOOLINFOW info{};
  // The version-2 layout: understood by every comctl32 that has balloons.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = notify_window_;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = LPSTR_TEXTCALLBACKW;
  return info;
}

bool BalloonHint::Add(HWND control, std::wstring hint) {
  if (!tooltip_ || !control || !::IsWindow(control)) return false;
  TTTOOLINFOW info = ToolInfo(control);
  const bool known = hints_.count(control) != 0;
  hints_[control] = std::move(hint);
  if (!known) {
    if (!::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) {
      hints_.erase(control);
      return false;
    }
    return true;
  }
  // Redisplays the balloon if it is showing this control's hint right now.
  ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  return true;
}

bool BalloonHint::Remove(HWND control) {
  if (!tooltip_ || hints_.erase(control) == 0) return false;
  TTTOOLINFOW info = ToolInfo(control);
  ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (on_parent_.count(control)) {
    TTTOOLINFOW onParent = ParentToolInfo(control);
    ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&onParent));
    on_parent_.erase(control);
  }
  return true;
}

// A tool of the parent window for the control's rectangle, in the parent's client pixels, with the control's handle
// as its number so that the text is looked up as for the control's own tool.
TTTOOLINFOW BalloonHint::ParentToolInfo(HWND control) const {
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_SUBCLASS;
  const auto found = on_parent_.find(control);
  info.hwnd = found != on_parent_.end() ? found->second : ::GetParent(control);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  ::GetWindowRect(control, &info.rect);
  ::MapWindowPoints(nullptr, info.hwnd, reinterpret_cast<POINT*>(&info.rect), 2);
  info.lpszText = LPSTR_TEXTCALLBACKW;
  return info;
}

bool BalloonHint::AlsoWhenDisabled(HWND control) {
  if (!tooltip_ || !hints_.count(control) || on_parent_.count(control)) return false;
  const HWND parent = ::GetParent(control);
  if (!parent) return false;
  TTTOOLINFOW info = ParentToolInfo(control);
  if (!::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) return false;
  // After the tooltip's own subclass, so that ours sees the parent's messages first.
  if (!::SetWindowSubclass(parent, &BalloonHint::ParentProc, 0, reinterpret_cast<DWORD_PTR>(this))) {
    ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    return false;
  }
  on_parent_[control] = parent;
  return true;
}

// The parent's tools ask it for their texts; and their rectangles follow the controls, which move when the parent
// changes its layout or its DPI.
LRESULT CALLBACK BalloonHint::ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                         DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<BalloonHint*>(data);
  try {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lparam)->hwndFrom == self->tooltip_) {
      return self->OnNotify(reinterpret_cast<NMHDR*>(lparam));
    }
    if (message == WM_MOUSEMOVE) {
      for (const auto& [control, parent] : self->on_parent_) {
        if (parent != window) continue;
        TTTOOLINFOW info = self->ParentToolInfo(control);
        ::SendMessageW(self->tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
      }
    }
  } catch (...) {
    return 0;  // as in NotifyProc: show no text rather than unwind into the window system
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &BalloonHint::ParentProc, 0);
  return ::DefSubclassProc(window, message, wparam, lparam);
}

std::optional<std::wstring> BalloonHint::Hint(HWND control) const {
  auto found = hints_.find(control);
  if (found == hints_.end()) return std::nullopt;
  return found->second;
}

void BalloonHint::HideHint() {
  if (!tooltip_) return;
  ::SendMessageW(tooltip_, TTM_POP, 0, 0);
  EndShowNow(tooltip_, 0, kNowTimerId, 0);
}

void BalloonHint::ShowHintNow(HWND control, const std::wstring& hint) {
  if (!tooltip_ || !control || !::IsWindow(control)) return;
  HideHint();
  core::HintParts parts = core::SplitHint(hint);
  std::wstring text = (parts.text.empty() && !parts.title.empty()) ? std::wstring(L" ") : std::move(parts.text);
  shown_title_ = std::move(parts.title);
  ::SendMessageW(tooltip_, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(shown_title_.c_str()));
  // Added afresh each time: the tooltip copies the text.
  TTTOOLINFOW info = NowTool(tooltip_);
  ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  info.lpszText = text.data();
  if (!::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) return;
  RECT bounds{};
  ::GetWindowRect(control, &bounds);
  ::SendMessageW(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM((bounds.left + bounds.right) / 2, bounds.bottom));
  ::SendMessageW(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  ::SetTimer(tooltip_, kNowTimerId, kAutoPopMs, &EndShowNow);
}

LRESULT BalloonHint::OnNotify(NMHDR* header) {
  if (!header || header->hwndFrom != tooltip_ || header->code != TTN_GETDISPINFOW) return 0;
  auto* display = reinterpret_cast<NMTTDISPINFOW*>(header);
  display->hinst = nullptr;
  auto found = hints_.find(reinterpret_cast<HWND>(header->idFrom));
  if (found == hints_.end()) {
    shown_text_.clear();
  } else {
    core::HintParts parts = core::SplitHint(found->second);
    shown_title_ = std::move(parts.title);
    ::SendMessageW(tooltip_, TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(shown_title_.c_str()));
    // A tooltip with no text shows nothing at all; a title alone still needs one (blank) character under it.
    shown_text_ = (parts.text.empty() && !shown_title_.empty()) ? std::wstring(L" ") : std::move(parts.text);
  }
  display->lpszText = shown_text_.data();
  return 0;
}

LRESULT CALLBACK BalloonHint::NotifyProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<BalloonHint*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  try {
    if (self && message == WM_NOTIFY) return self->OnNotify(reinterpret_cast<NMHDR*>(lparam));
    if (message == WM_NOTIFYFORMAT) return NFR_UNICODE;
  } catch (...) {
    // Only std::wstring copies can throw here (out of memory): show no text rather than unwind into comctl32.
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace gui
