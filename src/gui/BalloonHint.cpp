#include "gui/BalloonHint.h"

#include "core/HintText.h"
#include "core/Layout.h"
#include "gui/Application.h"
#include "gui/Window.h"

namespace gui {
namespace {

constexpr wchar_t kNotifyClass[] = L"SkimletBalloonHintNotify";

// The balloon that ShowHintNow shows: one tracking tool of the tooltip itself with its own text, and the timer of
// the notification window that takes it away again.
constexpr UINT_PTR kNowToolId = 1;
constexpr UINT_PTR kNowTimerId = 1;

TTTOOLINFOW NowTool(HWND tooltip) {
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  info.hwnd = tooltip;
  info.uId = kNowToolId;
  return info;
}

}  // namespace

BalloonHint::BalloonHint(HWND owner) { Create(owner); }

bool BalloonHint::Create(HWND owner) {
  if (tooltip_) return false;
  InitCommonControlClasses();
  // Every tool names this window as its container, so the tooltip's notifications come to us whichever window
  // the control lives in.
  const auto onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
    return OnNotifyMessage(message, wParam, lParam);
  };
  if (!notify_.Create(kNotifyClass, HiddenWindow::Kind::MessageOnly, onMessage)) return false;
  tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr));
  if (!tooltip_) return false;
  ::SendMessageW(tooltip_.get(), TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kAutoPopMs, 0));
  const UINT dpi = owner ? ::GetDpiForWindow(owner) : ::GetDpiForSystem();
  ::SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0,
                 core::ScaleToDpi(kMaxTipWidth, dpi ? static_cast<int>(dpi) : 96));
  return true;
}

BalloonHint::~BalloonHint() {
  for (const auto& [control, parent] : onParent_) {
    if (::IsWindow(parent)) ::RemoveWindowSubclass(parent, &BalloonHint::ParentProc, 0);
  }
}

std::optional<LRESULT> BalloonHint::OnNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) return OnNotify(reinterpret_cast<NMHDR*>(lParam));
  if (message == WM_NOTIFYFORMAT) return NFR_UNICODE;
  if (message == WM_TIMER && wParam == kNowTimerId) {
    EndShowNow();
    return 0;
  }
  return std::nullopt;
}

TTTOOLINFOW BalloonHint::ToolInfo(HWND control) const {
  TTTOOLINFOW info{};
  // The version-2 layout: understood by every comctl32 that has balloons.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = notify_.Handle();
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
    if (!::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) {
      hints_.erase(control);
      return false;
    }
    return true;
  }
  // Redisplays the balloon if it is showing this control's hint right now.
  ::SendMessageW(tooltip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  return true;
}

bool BalloonHint::Remove(HWND control) {
  if (!tooltip_ || hints_.erase(control) == 0) return false;
  TTTOOLINFOW info = ToolInfo(control);
  ::SendMessageW(tooltip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (onParent_.count(control)) {
    TTTOOLINFOW onParent = ParentToolInfo(control);
    ::SendMessageW(tooltip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&onParent));
    onParent_.erase(control);
  }
  return true;
}

// A tool of the parent window for the control's rectangle, in the parent's client pixels, with the control's handle
// as its number so that the text is looked up as for the control's own tool.
TTTOOLINFOW BalloonHint::ParentToolInfo(HWND control) const {
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_SUBCLASS;
  const auto found = onParent_.find(control);
  info.hwnd = found != onParent_.end() ? found->second : ::GetParent(control);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  ::GetWindowRect(control, &info.rect);
  ::MapWindowPoints(nullptr, info.hwnd, reinterpret_cast<POINT*>(&info.rect), 2);
  info.lpszText = LPSTR_TEXTCALLBACKW;
  return info;
}

bool BalloonHint::AlsoWhenDisabled(HWND control) {
  if (!tooltip_ || !hints_.count(control) || onParent_.count(control)) return false;
  const HWND parent = ::GetParent(control);
  if (!parent) return false;
  TTTOOLINFOW info = ParentToolInfo(control);
  if (!::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) return false;
  // After the tooltip's own subclass, so that ours sees the parent's messages first.
  if (!::SetWindowSubclass(parent, &BalloonHint::ParentProc, 0, reinterpret_cast<DWORD_PTR>(this))) {
    ::SendMessageW(tooltip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    return false;
  }
  onParent_[control] = parent;
  return true;
}

LRESULT CALLBACK BalloonHint::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<BalloonHint*>(data);
  try {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->hwndFrom == self->tooltip_.get()) {
      return self->OnNotify(reinterpret_cast<NMHDR*>(lParam));
    }
    if (message == WM_MOUSEMOVE) {
      for (const auto& [control, parent] : self->onParent_) {
        if (parent != window) continue;
        TTTOOLINFOW info = self->ParentToolInfo(control);
        ::SendMessageW(self->tooltip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
      }
    }
  } catch (...) {
    Application::Instance().HandleException(std::current_exception());  // as from any window of ours
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &BalloonHint::ParentProc, 0);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

std::optional<std::wstring> BalloonHint::Hint(HWND control) const {
  auto found = hints_.find(control);
  if (found == hints_.end()) return std::nullopt;
  return found->second;
}

void BalloonHint::HideHint() {
  if (!tooltip_) return;
  ::SendMessageW(tooltip_.get(), TTM_POP, 0, 0);
  EndShowNow();
}

void BalloonHint::ShowHintNow(HWND control, const std::wstring& hint) {
  if (!tooltip_ || !control || !::IsWindow(control)) return;
  HideHint();
  core::HintParts parts = core::SplitHint(hint);
  std::wstring text = (parts.text.empty() && !parts.title.empty()) ? std::wstring(L" ") : std::move(parts.text);
  shownTitle_ = std::move(parts.title);
  ::SendMessageW(tooltip_.get(), TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(shownTitle_.c_str()));
  // Added afresh each time: the tooltip copies the text.
  TTTOOLINFOW info = NowTool(tooltip_.get());
  ::SendMessageW(tooltip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  info.lpszText = text.data();
  if (!::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info))) return;
  RECT bounds{};
  ::GetWindowRect(control, &bounds);
  ::SendMessageW(tooltip_.get(), TTM_TRACKPOSITION, 0, MAKELPARAM((bounds.left + bounds.right) / 2, bounds.bottom));
  ::SendMessageW(tooltip_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  ::SetTimer(notify_.Handle(), kNowTimerId, kAutoPopMs, nullptr);
}

void BalloonHint::EndShowNow() {
  ::KillTimer(notify_.Handle(), kNowTimerId);
  TTTOOLINFOW info = NowTool(tooltip_.get());
  ::SendMessageW(tooltip_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

LRESULT BalloonHint::OnNotify(NMHDR* header) {
  if (!header || header->hwndFrom != tooltip_.get() || header->code != TTN_GETDISPINFOW) return 0;
  auto* display = reinterpret_cast<NMTTDISPINFOW*>(header);
  display->hinst = nullptr;
  auto found = hints_.find(reinterpret_cast<HWND>(header->idFrom));
  if (found == hints_.end()) {
    shownText_.clear();
  } else {
    core::HintParts parts = core::SplitHint(found->second);
    shownTitle_ = std::move(parts.title);
    ::SendMessageW(tooltip_.get(), TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(shownTitle_.c_str()));
    // A tooltip with no text shows nothing at all; a title alone still needs one (blank) character under it.
    shownText_ = (parts.text.empty() && !shownTitle_.empty()) ? std::wstring(L" ") : std::move(parts.text);
  }
  display->lpszText = shownText_.data();
  return 0;
}

}  // namespace gui
