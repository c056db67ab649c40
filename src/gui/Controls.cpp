#include "gui/Controls.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/Form.h"
#include "core/TextLines.h"

namespace gui {

// --- CheckBox

bool CheckBox::Create(Container& parent, const core::DesignRect& bounds, const std::wstring& caption) {
  if (!CreateSystemControl(parent, bounds, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0, caption)) return false;
  ::SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (Handle()) ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (OnClick) OnClick();
}

void CheckBox::OnCommand(WORD code) {
  if (code != BN_CLICKED) return;
  const bool checked = ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (checked == checked_) return;
  checked_ = checked;
  if (OnClick) OnClick();
}

// --- TrackBar

bool TrackBar::Create(Container& parent, const core::DesignRect& bounds, int minimum, int maximum) {
  InitCommonControlClasses();
  minimum_ = std::min(minimum, maximum);
  maximum_ = std::max(minimum, maximum);
  position_ = std::clamp(position_, minimum_, maximum_);
  if (!CreateSystemControl(parent, bounds, TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS | TBS_TOOLTIPS | WS_TABSTOP, 0,
                           {})) {
    return false;
  }
  ::SendMessageW(Handle(), TBM_SETRANGEMIN, FALSE, minimum_);
  ::SendMessageW(Handle(), TBM_SETRANGEMAX, FALSE, maximum_);
  ::SendMessageW(Handle(), TBM_SETPOS, TRUE, position_);
  ::SendMessageW(Handle(), TBM_SETTIPSIDE, TBTS_LEFT, 0);
  return true;
}

void TrackBar::SetPosition(int position) {
  position = std::clamp(position, minimum_, maximum_);
  if (position == position_) return;
  position_ = position;
  if (Handle()) ::SendMessageW(Handle(), TBM_SETPOS, TRUE, position);
  if (OnChange) OnChange();
}

void TrackBar::OnScroll(WORD) {
  const int position = static_cast<int>(::SendMessageW(Handle(), TBM_GETPOS, 0, 0));
  if (position == position_) return;
  position_ = position;
  if (OnChange) OnChange();
}

// --- Edit

bool Edit::Create(Container& parent, const core::DesignRect& bounds) {
  if (!HasOwnFont()) SetFont({L"Tahoma", 10});
  const DWORD style = ES_AUTOHSCROLL | WS_TABSTOP | (centered_ ? ES_CENTER : ES_LEFT);
  return CreateSystemControl(parent, bounds, WC_EDITW, style, WS_EX_CLIENTEDGE, {});
}

void Edit::OnCommand(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange();
}

// --- Memo

bool Memo::Create(Container& parent, const core::DesignRect& bounds) {
  if (!HasOwnFont()) SetFont({L"Consolas", 11, false, DEFAULT_CHARSET, true});
  // No ES_AUTOHSCROLL: long lines wrap. No scroll bars.
  const DWORD style = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP;
  return CreateSystemControl(parent, bounds, WC_EDITW, style, WS_EX_CLIENTEDGE, {});
}

std::vector<std::wstring> Memo::Lines() const { return core::SplitLines(Text()); }

void Memo::SetLines(const std::vector<std::wstring>& lines) { SetText(core::JoinLines(lines)); }

void Memo::OnCommand(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange();
}

// --- Button

bool Button::Create(Container& parent, const core::DesignRect& bounds, const std::wstring& caption) {
  return CreateSystemControl(parent, bounds, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0, caption);
}

void Button::OnCommand(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

// --- FlatButton

bool FlatButton::Create(Container& parent, const core::DesignRect& bounds, const std::wstring& caption) {
  return CreateSystemControl(parent, bounds, WC_BUTTONW, BS_PUSHBUTTON | BS_FLAT, 0, caption);
}

LRESULT FlatButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The press is tracked here rather than by the button itself, which would take the focus on a press.
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      ::SetCapture(Handle());
      ::SendMessageW(Handle(), BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_MOUSEMOVE:
      if (pressed_) ::SendMessageW(Handle(), BM_SETSTATE, ClientContains(lParam) ? TRUE : FALSE, 0);
      break;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        ::SendMessageW(Handle(), BM_SETSTATE, FALSE, 0);
        if (::GetCapture() == Handle()) ::ReleaseCapture();
        if (ClientContains(lParam) && OnClick) OnClick();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (pressed_ && reinterpret_cast<HWND>(lParam) != Handle()) {
        pressed_ = false;
        ::SendMessageW(Handle(), BM_SETSTATE, FALSE, 0);
      }
      break;
    case WM_SETFOCUS: {
      // Should the focus arrive anyway (a mnemonic, a program's SetFocus), hand it back.
      const HWND previous = reinterpret_cast<HWND>(wParam);
      if (previous && previous != Handle() && ::IsWindow(previous)) {
        ::SetFocus(previous);
      } else if (OwnerForm()) {
        ::SetFocus(OwnerForm()->Handle());
      }
      return 0;
    }
    default:
      break;
  }
  return Control::HandleMessage(message, wParam, lParam);
}

}  // namespace gui
