#pragma once
// Controls of our own window class, painted by us: Panel, Image, ImageButton, Label. They never take the focus.
// Mouse handling is shared: a left press captures the mouse and raises OnMouseDown; the release frees the
// capture and, when it ends inside the control, raises OnClick. Other buttons raise OnMouseDown only. A derived
// control can handle messages itself by overriding HandleMessage and calling the base first (for example a picker
// that starts a drag after the standard left-press handling).
#include <windows.h>

#include <functional>
#include <string>

#include "gui/Control.h"
#include "gui/Handles.h"

namespace gui {

class PaintedControl : public Control {
 public:
  std::function<void()> OnClick;
  std::function<void(const MouseEvent&)> OnMouseDown;

 protected:
  // Draws the content over the background that is already there.
  virtual void PaintContent(HDC dc, const RECT& client) = 0;
  // Fills the background; the default shows the parent's colour, so the control looks transparent.
  virtual void PaintBackground(HDC dc, const RECT& client);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool leftPressed_ = false;
};

// A solid-colour rectangle that can hold other controls (pass it as their parent).
class Panel : public PaintedControl, public Container {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds, COLORREF color);
  COLORREF Color() const { return color_; }
  void SetColor(COLORREF color);  // repaints the panel and the transparent controls on it

  HWND ContainerHandle() const override { return Handle(); }
  core::DesignSize DesignClientSize() const override { return {Bounds().width, Bounds().height}; }
  Form* ContainerForm() override { return OwnerForm(); }
  HBRUSH BackgroundBrush() const override { return brush_.get(); }
  COLORREF BackgroundColor() const override { return color_; }

 protected:
  void PaintContent(HDC, const RECT&) override {}
  void PaintBackground(HDC dc, const RECT& client) override;

 private:
  COLORREF color_ = RGB(255, 255, 255);
  UniqueBrush brush_;
};

// Shows an icon stretched to the control, on a transparent background. With auto-size on, the control takes the
// icon's size (in design units).
class Image : public PaintedControl {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds);
  HICON Icon() const { return icon_; }
  void SetIcon(HICON icon);       // not owned (LoadIcon, LR_SHARED)
  void SetIcon(UniqueIcon icon);  // owned
  void SetAutoSize(bool autoSize);

 protected:
  void PaintContent(HDC dc, const RECT& client) override;

 private:
  void FitToIcon();
  HICON icon_ = nullptr;
  UniqueIcon ownedIcon_;
  bool autoSize_ = false;
};

// A 16x16 icon that acts as a button: hand cursor, OnClick, never focused.
class ImageButton : public Image {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds);
};

enum class Alignment { Left, Center, Right };

// Text on a transparent background, in a colour and font of its own; optionally word-wrapped; OnClick.
class Label : public PaintedControl {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds, const std::wstring& caption);
  void SetTextColor(COLORREF color);
  COLORREF TextColor() const { return textColor_; }
  void SetAlignment(Alignment alignment);
  void SetWordWrap(bool wrap);

 protected:
  void PaintContent(HDC dc, const RECT& client) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  COLORREF textColor_ = RGB(0, 0, 0);
  Alignment alignment_ = Alignment::Left;
  bool wordWrap_ = false;
};

}  // namespace gui
