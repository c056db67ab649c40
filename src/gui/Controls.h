#pragma once
// Wrappers of the system's controls. Each is created inside a form or panel with Create(parent, bounds, ...),
// where bounds is the design rectangle at 96 DPI; configure options marked "before Create" first.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Control.h"

namespace gui {

// Check box. SetChecked fires OnClick exactly when the value changes, as a user's click does.
class CheckBox : public Control {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds, const std::wstring& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  std::function<void()> OnClick;

 protected:
  void OnCommand(WORD code) override;

 private:
  bool checked_ = false;
};

// Horizontal track bar with its position shown in a tip on the left while dragged. SetPosition fires OnChange
// exactly when the value changes; a user's drag fires it at every step.
class TrackBar : public Control {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds, int minimum = 0, int maximum = 255);
  int Position() const { return position_; }
  void SetPosition(int position);
  std::function<void()> OnChange;

 protected:
  void OnScroll(WORD code) override;

 private:
  int minimum_ = 0;
  int maximum_ = 255;
  int position_ = 0;
};

// Single-line edit box with its own font (Tahoma 10 px unless SetFont says otherwise).
class Edit : public Control {
 public:
  void SetCentered(bool centered) { centered_ = centered; }  // before Create
  bool Create(Container& parent, const core::DesignRect& bounds);
  std::wstring Text() const { return Caption(); }
  void SetText(const std::wstring& text) { SetCaption(text); }
  std::function<void()> OnChange;

 protected:
  void OnCommand(WORD code) override;

 private:
  bool centered_ = false;
};

// Multi-line, editable text box that wraps long lines and has no scroll bars; its own font is Consolas 11 px.
class Memo : public Control {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds);
  std::wstring Text() const { return Caption(); }
  void SetText(const std::wstring& text) { SetCaption(text); }
  std::vector<std::wstring> Lines() const;
  void SetLines(const std::vector<std::wstring>& lines);
  std::function<void()> OnChange;

 protected:
  void OnCommand(WORD code) override;
};

// Push button; takes the focus and joins the tab order. OnContextMenu (from Control) serves a right click.
class Button : public Control {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds, const std::wstring& caption);
  std::function<void()> OnClick;

 protected:
  void OnCommand(WORD code) override;
};

// A flat push button that never takes the focus, so a click leaves the keyboard where it was. OnClick on a left
// click; OnContextMenu (from Control) on a right click.
class FlatButton : public Control {
 public:
  bool Create(Container& parent, const core::DesignRect& bounds, const std::wstring& caption);
  std::function<void()> OnClick;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool pressed_ = false;
};

}  // namespace gui
