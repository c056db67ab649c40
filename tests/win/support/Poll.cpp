#include "support/Poll.h"

namespace fixture {
namespace {

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof(input));
}

}  // namespace

void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

bool PollUntil(const std::function<bool()>& condition, int timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(10);
  }
}

void Settle(int ms) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
  while (::GetTickCount64() < deadline) {
    PumpMessages();
    ::Sleep(10);
  }
}

POINT CenterOf(HWND window) {
  RECT bounds{};
  ::GetWindowRect(window, &bounds);
  return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

void MoveMouseTo(POINT screen) {
  ::SetCursorPos(screen.x, screen.y);
  SendMouse(MOUSEEVENTF_MOVE);  // a zero move, so that the window under the pointer hears of it
  PumpMessages();
}

void MouseDownAt(POINT screen) {
  MoveMouseTo(screen);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
}

void MouseUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

void ClickAt(POINT screen, bool rightButton) {
  MoveMouseTo(screen);
  SendMouse(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  SendMouse(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void PressKey(WORD virtualKey) {
  INPUT inputs[2]{};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = virtualKey;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, inputs, sizeof(INPUT));
}

bool BringToFront(HWND window) {
  ::SetForegroundWindow(window);
  return PollUntil([window] { return ::GetForegroundWindow() == window; }, 2000);
}

}  // namespace fixture
