#pragma once
// The base of our child controls. A control is created inside a form or a panel from a design rectangle
// (96-DPI units, relative to the parent's client area), keeps that rectangle and its anchors, and is placed
// again whenever the form's size or DPI changes. Its caption, enabled and visible state live on the window;
// events are std::function members that the form assigns. Tab order is creation order.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "gui/Font.h"
#include "gui/Handles.h"
#include "core/Layout.h"
#include "gui/Window.h"

namespace gui {

class Form;

// What a control can be placed in: a form or a panel.
class Container {
 public:
  virtual HWND ContainerHandle() const = 0;
  virtual core::DesignSize DesignClientSize() const = 0;
  virtual Form* ContainerForm() = 0;
  virtual HBRUSH BackgroundBrush() const = 0;
  virtual COLORREF BackgroundColor() const = 0;

 protected:
  ~Container() = default;
};

enum class MouseButton { Left, Right, Middle };

struct MouseEvent {
  MouseButton button = MouseButton::Left;
  UINT keys = 0;     // MK_SHIFT, MK_CONTROL, MK_LBUTTON... as the message carried them
  POINT position{};  // client coordinates of the control
};

class Control : public Window {
 public:
  ~Control() override;

  core::DesignRect Bounds() const { return design_; }
  void SetBounds(const core::DesignRect& bounds);
  void SetAnchors(const core::Anchors& anchors);

  std::wstring Caption() const;
  void SetCaption(const std::wstring& caption);

  // The text the form hands to its balloon hint for this control ("title|text"); only kept here.
  const std::wstring& Hint() const { return hint_; }
  void SetHint(std::wstring hint) { hint_ = std::move(hint); }

  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);

  // A font of the control's own instead of the form's (scaled like it).
  void SetFont(const FontSpec& font);
  HFONT Font() const;

  Container* Parent() const { return parent_; }
  Form* OwnerForm() const { return form_; }

  // The control behind a window of ours, or nullptr.
  static Control* FromHandle(HWND window);

  // A right click or the context-menu key on the control; the position is in screen pixels.
  std::function<void(POINT screen)> OnContextMenu;

 protected:
  Control() = default;

  // Creates a window of a system class (button, edit, track bar...) as a child of `parent`.
  bool CreateSystemControl(Container& parent, const core::DesignRect& bounds, const wchar_t* className, DWORD style,
                           DWORD exStyle, const std::wstring& caption);
  // Creates a window of our own control class, painted and handled by the derived class.
  bool CreateOwnControl(Container& parent, const core::DesignRect& bounds, DWORD style, DWORD exStyle,
                        const std::wstring& caption);

  // Notifications that the parent routes back to the control that sent them.
  virtual void OnCommand(WORD /*code*/) {}
  virtual void OnScroll(WORD /*code*/) {}
  // WM_CTLCOLOR*: the default gives static-like controls the parent's background.
  virtual std::optional<LRESULT> OnCtlColor(UINT message, HDC dc);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  bool HasOwnFont() const { return fontSpec_.has_value(); }

  // Whether a mouse message's position (client coordinates in lParam) lies inside the control.
  bool ClientContains(LPARAM mousePosition) const;

  // The cursor shown over the control's client area; nullptr: the class cursor.
  void SetControlCursor(HCURSOR cursor) { cursor_ = cursor; }

 private:
  friend class Form;
  friend std::optional<LRESULT> RouteToControl(UINT message, WPARAM wParam, LPARAM lParam);
  bool Adopt(Container& parent, const core::DesignRect& bounds, HWND window);
  void Place();
  // Makes the control's own font for the form's DPI and hands the font in use over with WM_SETFONT.
  void ApplyFont();
  void Forget();  // the form is going away

  Container* parent_ = nullptr;
  Form* form_ = nullptr;
  core::DesignRect design_;
  core::Anchors anchors_;
  std::wstring hint_;
  std::optional<FontSpec> fontSpec_;
  UniqueFont ownFont_;
  HCURSOR cursor_ = nullptr;
};

// For containers: sends WM_COMMAND, WM_HSCROLL/WM_VSCROLL and WM_CTLCOLOR* from a child to the control
// object of that child. Empty when the message is of another kind or names none of our controls.
std::optional<LRESULT> RouteToControl(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace gui
