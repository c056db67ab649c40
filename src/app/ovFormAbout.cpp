#include "app/ovFormAbout.h"

#include "app/ovApp.h"
#include "app/ovLinks.h"

TovFrmAbout* ovFrmAbout = nullptr;

namespace {

constexpr COLORREF kBlue = RGB(0, 85, 255);
constexpr COLORREF kLabelColor = RGB(221, 221, 221);

gui::FormDesign AboutDesign() {
  gui::FormDesign design = BaseFormDesign();
  design.className = L"TovFrmAbout";
  design.border = gui::BorderStyle::None;
  design.client = {320, 180};
  design.alpha = 200;
  design.color = kBlue;
  design.font = gui::FontSpec{L"Verdana", 11, false, ANSI_CHARSET};
  return design;
}

}  // namespace

TovFrmAbout::TovFrmAbout() : TovFrmBase(AboutDesign()) {
  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnClick = [this] { Close(); };
  OnKeyPress = [this](wchar_t) { Close(); };
}

void TovFrmAbout::FormCreate() {
  img.Create(*this, {12, 22, 32, 32});
  img.SetAutoSize(true);

  lblProduct.Create(*this, {20, 28, 280, 17}, L"Skimlet");
  lblProduct.SetFont(gui::FontSpec{L"Verdana", 14, true, ANSI_CHARSET});
  lblProduct.SetTextColor(kLabelColor);
  lblProduct.SetAlignment(gui::Alignment::Center);
  lblProduct.SetWordWrap(true);
  lblProduct.OnClick = [this] { Close(); };

  lblCopright.Create(*this, {67, 154, 233, 13}, L"\u00A9 2026 the Skimlet authors");
  lblCopright.SetFont(gui::FontSpec{L"Verdana", 11, false, ANSI_CHARSET});
  lblCopright.SetTextColor(kLabelColor);
  lblCopright.SetAlignment(gui::Alignment::Right);
  lblCopright.SetAnchors({false, false, true, true});
  lblCopright.OnClick = [this] { Close(); };

  pnl2.Create(*this, {20, 120, 280, 25}, kBlue);
  pnl2.SetVisible(false);
  btnUpdate.Create(pnl2, {0, 0, 100, 25}, L"Check Update");
  btnUpdate.OnClick = [this] { btnUpdateClick(); };
  btnHome.Create(pnl2, {100, 0, 60, 25}, L"Home");
  btnHome.OnClick = [this] { btnHomeClick(); };
  btnSupports.Create(pnl2, {160, 0, 70, 25}, L"Supports");
  btnSupports.OnClick = [this] { btnSupportsClick(); };
  btnClose.Create(pnl2, {230, 0, 50, 25}, L"Close");
  btnClose.OnClick = [this] { Close(); };
}

void TovFrmAbout::FormShow() {
  if (!img.Icon()) {
    // The picker's icon: resource names match without regard to case.
    img.SetIcon(ExecutableIcon(L"Z_Grab", 32));
  }
  if (lblProduct.Caption().empty() && ovProject) {
    lblProduct.SetCaption(ovProject->Title + L" " + ovProject->Version);
  }
  pnl2.SetVisible(true);
  FFocusSelf = true;
}

LRESULT TovFrmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Esc and Enter, which the dialog keys turn into IDCANCEL and IDOK (no control of ours has those numbers).
      if (lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        Close();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && FFocusSelf) {
        FFocusSelf = false;
        ::SetFocus(Handle());
        return 0;
      }
      break;
    default:
      break;
  }
  return TovFrmBase::HandleMessage(message, wParam, lParam);
}

void TovFrmAbout::btnUpdateClick() { OpenLink(L"download", L""); }
void TovFrmAbout::btnHomeClick() { OpenLink(L"", L""); }
void TovFrmAbout::btnSupportsClick() { OpenLink(L"supports", L""); }
