// The information panel of the main window: showing a target, and the controls that change it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/ovMainForm.h"
#include "core/InfoText.h"
#include "core/Integers.h"
#include "engine/ovProcessRights.h"
#include "engine/ovTargetText.h"
#include "engine/ovWinUtils.h"

namespace {


constexpr wchar_t kNotAnswered[] = L"The window did not answer and was left as it is.";
constexpr wchar_t kNotTaken[] = L"The window did not take the change.";

// The control's own hint with the news under it, in the same balloon.
std::wstring NewsHint(const std::wstring& hint, const wchar_t* news) {
  return hint + (hint.find(L'|') == std::wstring::npos ? L"|" : L"") + news;
}

}  // namespace

void TovFrmMain::ShowInfo(HWND window) {
  // The form's DPI may have changed since creation; font sizes are told at the DPI the program sees now.
  FUtils.SetScreenPpi(Dpi());
  FUtils.SetWnd(window);
  FPickedElement.reset();

  mm.SetLines(TargetInfoLines(FUtils));

  // Through the setters, so that each changed box runs its handler as a user's click would. The fields are read
  // once beforehand: a handler may change them.
  const bool enabled = FUtils.Enabled;
  const bool visible = FUtils.Visible;
  const bool topmost = FUtils.Topmost;
  const uint8_t alpha = FUtils.Alpha;
  const bool isChild = FUtils.IsChild;
  const core::Rect rect = FUtils.WndRect;
  cbEnable.SetChecked(enabled);
  cbVisible.SetChecked(visible);
  cbTopmost.SetChecked(topmost);
  tp.SetPosition(alpha);

  cbEnable.SetEnabled(true);
  cbVisible.SetEnabled(true);
  bSize.SetEnabled(true);
  cbTopmost.SetEnabled(!isChild);
  tp.SetEnabled(!isChild);

  eLeft.SetText(std::to_wstring(rect.left));
  eTop.SetText(std::to_wstring(rect.top));
  eWidth.SetText(std::to_wstring(rect.Width()));
  eHeight.SetText(std::to_wstring(rect.Height()));

  const std::wstring widthHint = L"cx: Width (R:" + std::to_wstring(rect.right) + L")";
  const std::wstring heightHint = L"cy: Height (B:" + std::to_wstring(rect.bottom) + L")";
  eWidth.SetHint(widthHint);
  eHeight.SetHint(heightHint);
  bh1.SetHint(eWidth.Handle(), widthHint);
  bh1.SetHint(eHeight.Handle(), heightHint);
  // The information box's tip says when Windows will drop the changes the panel makes.
  if (RunsWithHigherRights(window)) {
    bh1.SetHint(mm.Handle(), std::wstring(L"Higher rights|") + kHigherRightsNews);
  } else {
    bh1.Remove(mm.Handle());
  }
}

void TovFrmMain::grabGrab() { ShowInfo(grab.GrabWnd); }

void TovFrmMain::grabDone() {
  std::vector<std::wstring> lines = mm.Lines();
  core::SetColorLine(lines, static_cast<uint32_t>(pnl.Color()));
  mm.SetLines(lines);
}

// An element pick ended: its lines follow the host window's.
void TovFrmMain::grabElement() {
  const TovElementRead& read = grab.ElementProbe.Latest();
  if (read.status != TovElementStatus::Found) return;
  FPickedElement = read.element;
  std::vector<std::wstring> lines = mm.Lines();
  for (std::wstring& line : core::ElementLines(read.element)) lines.push_back(std::move(line));
  mm.SetLines(lines);
}

// The helper left the target alone (its thread did not answer), or the window did not take the change: the control
// goes back to the window's real state without running its handler again, and its balloon says which. When the
// control shows that state already (the panel being filled from a silent window) nothing is said.
void TovFrmMain::RestoreUnanswered(gui::Control& control, bool differs, const std::function<void()>& restore) {
  if (!differs) return;
  const wchar_t* news = FUtils.Answered() ? kNotTaken : kNotAnswered;
  FRestoring = true;
  try {
    restore();
  } catch (...) {
    FRestoring = false;
    throw;
  }
  FRestoring = false;
  bh1.ShowHintNow(control.Handle(), NewsHint(control.Hint(), news));
}

void TovFrmMain::cbEnableClick() {
  if (FRestoring || !FUtils.IsValid()) return;
  if (!FUtils.SetEnabled(cbEnable.Checked()) || !FUtils.Took()) {
    const bool real = ::IsWindowEnabled(FUtils.Wnd) != FALSE;
    RestoreUnanswered(cbEnable, cbEnable.Checked() != real, [&] { cbEnable.SetChecked(real); });
  }
  AddHistory();
}

void TovFrmMain::cbVisibleClick() {
  if (FRestoring || !FUtils.IsValid()) return;
  if (!FUtils.SetVisible(cbVisible.Checked()) || !FUtils.Took()) {
    const bool real = ::IsWindowVisible(FUtils.Wnd) != FALSE;
    RestoreUnanswered(cbVisible, cbVisible.Checked() != real, [&] { cbVisible.SetChecked(real); });
  }
  AddHistory();
}

void TovFrmMain::cbTopmostClick() {
  if (FRestoring || !FUtils.IsValid()) return;
  if (!FUtils.SetTopmost(cbTopmost.Checked()) || !FUtils.Took()) {
    const bool real = (::GetWindowLongW(FUtils.Wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    RestoreUnanswered(cbTopmost, cbTopmost.Checked() != real, [&] { cbTopmost.SetChecked(real); });
  }
  AddHistory();
}

void TovFrmMain::tpChange() {
  if (FRestoring || !FUtils.IsValid()) return;
  if (!FUtils.SetAlpha(static_cast<uint8_t>(tp.Position())) || !FUtils.Took()) {
    const int real = WindowAlpha(FUtils.Wnd);
    RestoreUnanswered(tp, tp.Position() != real, [&] { tp.SetPosition(real); });
  }
  AddHistory();
}

void TovFrmMain::bSizeClick() {
  if (!FUtils.IsValid()) return;
  std::array<int32_t, 4> values{};
  const gui::Edit* boxes[] = {&eLeft, &eTop, &eWidth, &eHeight};
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::optional<int32_t> value = core::ParseInt32(boxes[i]->Text());
    if (!value) return;  // bad text: nothing moves, nothing is said
    values[i] = *value;
  }
  const auto [left, top, width, height] = values;
  if (FUtils.SetWndRect({left, top, core::WrappingSum(left, width), core::WrappingSum(top, height)}) &&
      !FUtils.Took()) {
    const core::Rect real = FUtils.WndRect;
    RestoreUnanswered(bSize, true, [&] {
      eLeft.SetText(std::to_wstring(real.left));
      eTop.SetText(std::to_wstring(real.top));
      eWidth.SetText(std::to_wstring(real.Width()));
      eHeight.SetText(std::to_wstring(real.Height()));
    });
  }
  AddHistory();
}

void TovFrmMain::topParent(const gui::MouseEvent& event) {
  if (event.button != gui::MouseButton::Right) return;
  if (!FUtils.IsValid() || !FUtils.IsChild) return;
  const HWND parent = ::GetParent(FUtils.Wnd);
  if (!parent) return;
  ShowInfo(TopmostAncestor(parent));
}

void TovFrmMain::WMLButtonDown(POINT client, UINT) {
  const HWND target = FUtils.IsValid() ? FUtils.Wnd : Handle();
  // A press on the caption: the window system's own move loop then follows the mouse until the release.
  ::PostMessageW(target, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(client.x, client.y));
}
