#pragma once
// The base class of every top-level window of ours. A form is described by a FormDesign (client size at 96 DPI,
// caption, border, colour, font...), and its events are slots that the derived form sets to its own handlers, as
// a control's OnClick is set by its owner. Controls are members of the derived class:
//
//   class TovFrmAbout : public gui::Form {
//    public:
//     TovFrmAbout() : Form(MakeDesign()) { OnCreate = [this] { FormCreate(); }; }
//    private:
//     void FormCreate() {
//       btnClose.Create(*this, {230, 0, 50, 25}, L"Close");
//       btnClose.OnClick = [this] { Close(); };
//     }
//     gui::Button btnClose;
//   };
//
// Create() makes the window hidden, sized for its DPI, and runs OnCreate; Show()/ShowModal() put it on screen.
// Close() asks OnCloseQuery: the main form is then destroyed (which ends Application::Run), any other form hides.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/Font.h"
#include "gui/Handles.h"
#include "core/Layout.h"
#include "gui/Window.h"

namespace gui {

enum class BorderStyle {
  Sizeable,  // caption, system menu, minimise box, sizeable frame; no maximise box
  None,      // no frame and no caption
};

enum class FormPosition {
  Explicit,      // FormDesign::origin, in screen pixels
  ScreenCenter,  // centred on the primary screen
};

struct FormDesign {
  std::wstring className = L"SkimletForm";
  std::wstring caption;
  core::DesignSize client{320, 240};  // client area at 96 DPI
  BorderStyle border = BorderStyle::Sizeable;
  bool topmost = false;
  FormPosition position = FormPosition::Explicit;
  POINT origin{0, 0};
  std::optional<COLORREF> color;  // empty: the system's button face
  FontSpec font;                  // Tahoma 11 px
  std::optional<BYTE> alpha;      // whole-form opacity; empty: opaque, not layered
  bool maximized = false;         // Show() and ShowModal() show it maximised
  HCURSOR cursor = nullptr;       // over the form's own client area; nullptr: the arrow. Not owned.
};

class Form : public Window, public Container {
 public:
  explicit Form(FormDesign design);
  ~Form() override;

  bool Create();
  // Shows the form in the design's state (normal or maximised), or in the state a show command names
  // (for the main form: the one the launcher asked for).
  void Show();
  void Show(int showCommand);
  // Shows it restored if minimised and makes it the foreground window.
  void BringToFront();
  // Gives the focus to the first control in tab order that can take it (a tab stop, visible and enabled), as a
  // dialog does when it opens. Only while the form is the active window; false when no control took it.
  bool FocusFirstControl();
  void Hide();
  // Asks OnCloseQuery; true when the form closed (main form destroyed, modal loop ended, or hidden).
  bool Close();
  // Disables the application's other windows, shows the form and runs the message loop (idle included) until
  // the form closes or hides; then re-enables them and hides the form.
  void ShowModal();
  bool IsModal() const { return modal_; }
  bool Visible() const;

  std::wstring Caption() const;
  void SetCaption(const std::wstring& caption);
  bool Topmost() const { return design_.topmost; }
  void SetTopmost(bool topmost);
  COLORREF Color() const;
  void SetColor(COLORREF color);
  void SetAlpha(std::optional<BYTE> alpha);

  int Dpi() const { return dpi_; }
  int Scale(int designValue) const { return core::ScaleToDpi(designValue, dpi_); }
  HFONT Font() const { return font_.get(); }
  const FormDesign& Design() const { return design_; }
  // In creation order, which is also the tab order.
  const std::vector<Control*>& Controls() const { return controls_; }

  // Container
  HWND ContainerHandle() const override { return Handle(); }
  core::DesignSize DesignClientSize() const override { return design_.client; }
  Form* ContainerForm() override { return this; }
  HBRUSH BackgroundBrush() const override;
  COLORREF BackgroundColor() const override { return Color(); }

  // The form's events. OnCreate creates the controls: an exception ends it early and is reported; the form keeps
  // what was built. OnShow and OnHide report visibility changes, whatever caused them; OnShow comes before the form
  // appears. OnCloseQuery is asked by WM_CLOSE, Close() and WM_QUERYENDSESSION: false keeps the form open (unset:
  // it may close). OnClick is a left press and release on the form's own background.
  std::function<void()> OnCreate;
  std::function<void()> OnShow;
  std::function<void()> OnHide;
  std::function<bool()> OnCloseQuery;
  std::function<void(POINT client, UINT keys)> OnLButtonDown;
  std::function<void()> OnClick;
  std::function<void(wchar_t character)> OnKeyPress;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class Control;
  int AddControl(Control* control);
  void RemoveControl(Control* control);
  void Relayout();
  void ApplyDpi(int dpi);
  void SetShownState(bool shown);
  bool CloseQueryAnswer();
  DWORD Style() const;
  DWORD ExStyle() const;

  FormDesign design_;
  int dpi_ = core::kDesignDpi;
  UniqueFont font_;
  UniqueBrush brush_;
  std::vector<Control*> controls_;
  int nextControlId_ = 100;
  bool shown_ = false;  // the last visibility reported through OnShow/OnHide
  bool modal_ = false;
  bool modalDone_ = false;
  bool pressed_ = false;  // a left press began on the background
  HWND lastFocus_ = nullptr;
};

}  // namespace gui
