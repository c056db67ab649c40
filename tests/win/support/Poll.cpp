#include "support/Poll.h"

#include <cstring>

#include "gui/Handles.h"

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

bool BringToFront(HWND window) {
  ::SetForegroundWindow(window);
  return PollUntil([window] { return ::GetForegroundWindow() == window; }, 2000);
}

void PointerTo(POINT screen) {
  ::SetCursorPos(screen.x, screen.y);
  SendMouse(MOUSEEVENTF_MOVE);
}

void LeftButton(bool down) { SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP); }

void Key(WORD virtualKey, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &input, sizeof input);
}

void KeyChord(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--it;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PressKey(WORD virtualKey) { KeyChord({virtualKey}); }

void MoveMouseTo(POINT screen) {
  PointerTo(screen);
  PumpMessages();
}

void MouseDownAt(POINT screen) {
  MoveMouseTo(screen);
  LeftButton(true);
}

void MouseUp() { LeftButton(false); }

void ClickAt(POINT screen, bool rightButton) {
  MoveMouseTo(screen);
  SendMouse(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  SendMouse(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

COLORREF ScreenPixel(POINT screen) {
  const gui::WindowDc dc = gui::WindowDc::Client();
  return ::GetPixel(dc.dc(), screen.x, screen.y);
}

std::vector<std::uint32_t> ScreenPixels(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  std::vector<std::uint32_t> pixels;
  if (width <= 0 || height <= 0) return pixels;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const gui::WindowDc screen = gui::WindowDc::Client();
  const gui::UniqueBitmap bitmap(::CreateDIBSection(screen.dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const gui::UniqueMemDc memory(::CreateCompatibleDC(screen.dc()));
  if (!bitmap || !memory || !bits) return pixels;
  {
    const gui::SelectedObject selected(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.dc(), area.left, area.top, SRCCOPY);
    ::GdiFlush();
  }
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::memcpy(pixels.data(), bits, pixels.size() * sizeof(std::uint32_t));
  for (auto& pixel : pixels) pixel &= 0x00FFFFFF;
  return pixels;
}

}  // namespace fixture
