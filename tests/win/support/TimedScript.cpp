#include "support/TimedScript.h"

#include <cstring>

#include "gui/Handles.h"

namespace fixture {
namespace {

TimedScript* gRunning = nullptr;  // thread timers carry no context: the one ticking script

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof input);
}

std::uint32_t ReadLe(const std::string& bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

struct BmpInfo {
  int width;
  int height;
  int bits;
  std::size_t offset;
};

std::optional<BmpInfo> ReadBmpInfo(const std::string& file) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const auto width = static_cast<std::int32_t>(ReadLe(file, 18, 4));
  const auto height = static_cast<std::int32_t>(ReadLe(file, 22, 4));
  const auto bits = static_cast<int>(ReadLe(file, 28, 2));
  if (width <= 0 || height <= 0 || (bits != 24 && bits != 32)) return std::nullopt;
  return BmpInfo{width, height, bits, ReadLe(file, 10, 4)};
}

}  // namespace

TimedScript::~TimedScript() { Stop(); }

TimedScript& TimedScript::Then(Action act, Condition ready) {
  steps_.push_back({std::move(act), std::move(ready)});
  return *this;
}

void TimedScript::Start(int timeoutMs, Action onTimeout) {
  Stop();
  gRunning = this;
  onTimeout_ = std::move(onTimeout);
  timedOut_ = false;
  deadline_ = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  timer_ = ::SetTimer(nullptr, 0, 10, &TimedScript::Tick);
}

void TimedScript::Stop() {
  if (timer_) ::KillTimer(nullptr, timer_);
  timer_ = 0;
  if (gRunning == this) gRunning = nullptr;
}

void CALLBACK TimedScript::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
  try {
    if (gRunning) gRunning->Advance();
  } catch (...) {
    if (gRunning) gRunning->Stop();
  }
}

void TimedScript::Advance() {
  // Several steps may run in one tick, but each one only after the input of the one before has been sent.
  while (next_ < steps_.size()) {
    Step& step = steps_[next_];
    if (step.ready && !step.ready()) break;
    ++next_;
    if (step.act) step.act();
    if (step.ready) break;  // let the program see the input before the next condition is read
  }
  // After the last step the script keeps watching until Stop(): the loop it drives may still fail to end.
  if (::GetTickCount64() >= deadline_) {
    timedOut_ = true;
    Stop();
    if (onTimeout_) onTimeout_();
  }
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
  const gui::WindowDc screen;
  const gui::UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const gui::UniqueMemDc memory(::CreateCompatibleDC(screen.get()));
  if (!bitmap || !memory || !bits) return pixels;
  {
    const gui::SelectedObject selected(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
    ::GdiFlush();
  }
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::memcpy(pixels.data(), bits, pixels.size() * sizeof(std::uint32_t));
  for (auto& pixel : pixels) pixel &= 0x00FFFFFF;
  return pixels;
}

std::optional<SIZE> BmpSize(const std::string& file) {
  const auto info = ReadBmpInfo(file);
  if (!info) return std::nullopt;
  return SIZE{info->width, info->height};
}

std::optional<std::uint32_t> BmpPixel(const std::string& file, int x, int y) {
  const auto info = ReadBmpInfo(file);
  if (!info || x < 0 || y < 0 || x >= info->width || y >= info->height) return std::nullopt;
  const std::size_t bytesPerPixel = static_cast<std::size_t>(info->bits / 8);
  const std::size_t stride = (static_cast<std::size_t>(info->width) * info->bits + 31) / 32 * 4;
  const std::size_t row = static_cast<std::size_t>(info->height - 1 - y);  // bottom-up
  const std::size_t at = info->offset + row * stride + static_cast<std::size_t>(x) * bytesPerPixel;
  if (at + 3 > file.size()) return std::nullopt;
  return ReadLe(file, at, 3);  // blue, green, red: 0x00RRGGBB once read little-endian
}

}  // namespace fixture
