#pragma once
// TovSkimlet: the picker. The user presses the left button on it and drags: the pointer becomes the crosshair,
// the window under it is framed on the screen with an inverted border, the colour under it fills the parent
// panel (the swatch), and OnGrab fires each time a different window comes under the pointer. Releasing the button
// erases the frame and fires OnDone. The form's idle handler must call Track() on every idle pass.
//
// Holding Ctrl while dragging picks accessible elements instead: the element under the pointer is framed (read on
// the element thread, the latest answer shown, so a slow program never holds up the drag), OnGrab still fires for
// the window under the pointer, and once the drag has ended and the element at its end point has been read,
// OnElement fires; ElementProbe.Latest() then holds it.
//
//   grab.Create(swatchPanel, {0, 0, 32, 32});   // the parent must be a gui::Panel: it becomes the swatch
//   grab.OnGrab = [&] { Show(grab.GrabWnd); };
//   grab.OnDone = [&] { UseColour(swatchPanel.Color()); };
//   app.OnIdle = [&] { grab.Track(); };
#include <windows.h>

#include <functional>
#include <memory>

#include <optional>

#include "core/Geometry.h"
#include "engine/ovElements.h"
#include "gui/Handles.h"
#include "gui/PaintedControls.h"

using TovGrabEvent = std::function<void()>;

class TovSkimlet : public gui::Image {
 public:
  static constexpr int kGrabCursor = 1024;  // index of "CUR_GRAB" in the application's cursor list

  TovSkimlet() = default;
  // A drag cut short by destruction still erases its frame and gives the pointer back.
  ~TovSkimlet() override;

  // Creates the control inside its panel, loads its cursor and icons and sizes it to the icon.
  bool Create(gui::Container& parent, const core::DesignRect& bounds);

  // The idle poll: follows the pointer while a drag is in progress.
  void Track();

  HWND GrabWnd = nullptr;  // the window under the pointer at the latest poll of the current or last drag
  gui::WindowDc ScreenDC;  // the screen, for reading pixels during a drag
  TovGrabEvent OnDone;     // a drag ended
  TovGrabEvent OnGrab;     // another window came under the pointer
  TovGrabEvent OnElement;  // the element at the end of an element pick was read
  TovElementProbe ElementProbe;
  bool ElementPick = false;  // the current or last drag picks elements (Ctrl was held at its latest poll)
  int GrabCursor = kGrabCursor;
  gui::Form* HostForm = nullptr;
  bool Grabbing = false;
  HWND FramedWnd = nullptr;  // the window the inverted frame is drawn around; nullptr when none
  core::Rect FormRect;       // the host form's bounds at the start of the drag

  void BeginGrab();
  void EndGrab();
  // Inverts a 3-pixel frame around the window straight on the screen; a second call restores the pixels.
  static void DrawFrame(HWND window);
  static void DrawFrame(const RECT& r);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetSwatch(COLORREF color);
  // The element part of a poll; true while the drag picks elements.
  bool TrackElement(POINT point);
  void FrameElement(const std::optional<RECT>& r);
  // After an element pick: collects the read of the end point and fires OnElement.
  void FinishElement();
  void SetElementTimer(bool on);

  std::optional<RECT> framedElement_;
  std::optional<POINT> requested_;
  HWND announced_ = nullptr;  // the window OnGrab last fired for while picking elements
  bool elementPending_ = false;
  bool elementTimer_ = false;
};
