#pragma once
// Waiting with a deadline while pumping messages, and real mouse and keyboard input through SendInput.
#include <windows.h>

#include <functional>

namespace fixture {

// Dispatches every pending message of this thread.
void PumpMessages();

// Pumps messages until `condition` holds or `timeoutMs` has passed; true when it held.
bool PollUntil(const std::function<bool()>& condition, int timeoutMs = 3000);

// Pumps messages for a short while so that the windows of this thread have painted.
void Settle(int ms = 100);

// The centre of a window's rectangle, in screen pixels.
POINT CenterOf(HWND window);

// Moves the pointer (SetCursorPos) and presses and releases a mouse button there with SendInput.
void MoveMouseTo(POINT screen);
void ClickAt(POINT screen, bool rightButton = false);
void MouseDownAt(POINT screen);
void MouseUp();

// Presses and releases one key with SendInput (the window with the focus receives it).
void PressKey(WORD virtualKey);

// Makes a window the foreground window, so that keyboard input reaches it; true when it is.
bool BringToFront(HWND window);

}  // namespace fixture
