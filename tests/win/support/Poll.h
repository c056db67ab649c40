#pragma once
// Waiting with a deadline while pumping messages, real mouse and keyboard input through SendInput, and reading the
// screen's pixels.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace fixture {

// Dispatches every pending message of this thread.
void PumpMessages();

// Pumps messages until `condition` holds or `timeoutMs` has passed; true when it held.
bool PollUntil(const std::function<bool()>& condition, int timeoutMs = 3000);

// Pumps messages for a short while so that the windows of this thread have painted.
void Settle(int ms = 100);

// The centre of a window's rectangle, in screen pixels.
POINT CenterOf(HWND window);

// Makes a window the foreground window, so that keyboard input reaches it; true when it is.
bool BringToFront(HWND window);

// Input that does not pump messages, for the steps of a TimedScript and for other processes' windows. The pointer
// moves with SetCursorPos followed by a zero relative move, so the window under it hears of the move.
void PointerTo(POINT screen);
void LeftButton(bool down);
void Key(WORD virtualKey, bool down);
// Presses the keys in order and releases them in reverse order, all in one SendInput call.
void KeyChord(std::initializer_list<WORD> keys);
// Presses and releases one key (the window with the focus receives it).
void PressKey(WORD virtualKey);

// Pointer input for this thread's windows. MoveMouseTo, ClickAt and MouseDownAt move the pointer and then pump this
// thread's messages, so that its windows have seen the move; the button presses and releases after it (and MouseUp's
// release) are only queued, and reach the windows at the next pump or wait (PollUntil, Settle, a message loop).
void MoveMouseTo(POINT screen);
void ClickAt(POINT screen, bool rightButton = false);
void MouseDownAt(POINT screen);
void MouseUp();

// One pixel of the screen as GetPixel reads it.
COLORREF ScreenPixel(POINT screen);
// The screen's pixels in `area`, row by row from the top, as 0x00RRGGBB.
std::vector<std::uint32_t> ScreenPixels(const RECT& area);

}  // namespace fixture
