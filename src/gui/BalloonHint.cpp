#include "gui/BalloonHint.h"

#include "core/HintText.h"
#include "core/Layout.h"
#include "gui/Window.h"

namespace gui {
namespace {

constexpr wchar_t kNotifyClass[] = L"SkimletBalloonHintNotify";

}  // namespace

BalloonHint::BalloonHint(HWND owner) { Create(owner); }

bool BalloonHint::Create(HWND owner) {
  if (tooltip_) return false;
  InitCommonControlClasses();
  // Every tool names this window as its container, so the tooltip's notifications come to us whichever window
  // the control lives in.
  const auto onMessage = [this](UINT message, WPARAM, LPARAM lparam) -> std::optional<LRESULT> {
    if (message == WM_NOTIFY) return OnNotify(reinterpret_cast<NMHDR*>(lparam));
    if (message == WM_NOTIFYFORMAT) return NFR_UNICODE;
    return std::nullopt;
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
  return true;
}

std::optional<std::wstring> BalloonHint::Hint(HWND control) const {
  auto found = hints_.find(control);
  if (found == hints_.end()) return std::nullopt;
  return found->second;
}

void BalloonHint::HideHint() {
  if (tooltip_) ::SendMessageW(tooltip_.get(), TTM_POP, 0, 0);
}

LRESULT BalloonHint::OnNotify(NMHDR* header) {
  if (!header || header->hwndFrom != tooltip_.get() || header->code != TTN_GETDISPINFOW) return 0;
  auto* display = reinterpret_cast<NMTTDISPINFOW*>(header);
  display->hinst = nullptr;
  auto found = hints_.find(reinterpret_cast<HWND>(header->idFrom));
  if (found == hints_.end()) {
    shown_text_.clear();
  } else {
    core::HintParts parts = core::SplitHint(found->second);
    shown_title_ = std::move(parts.title);
    ::SendMessageW(tooltip_.get(), TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(shown_title_.c_str()));
    // A tooltip with no text shows nothing at all; a title alone still needs one (blank) character under it.
    shown_text_ = (parts.text.empty() && !shown_title_.empty()) ? std::wstring(L" ") : std::move(parts.text);
  }
  display->lpszText = shown_text_.data();
  return 0;
}

}  // namespace gui
