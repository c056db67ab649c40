#include "engine/ovWinSnap.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "core/Bmp.h"
#include "core/Paths.h"
#include "gui/Application.h"
#include "gui/AtomicFile.h"
#include "gui/Error.h"
#include "gui/Handles.h"
#include "engine/FaultGuard.h"

namespace {

constexpr DWORD kCaptureRop = SRCCOPY | CAPTUREBLT;  // layered windows are copied as they appear

// The depth the file is written at: the display's own when it is 32 or 24 bits a pixel; 24 for lower
// depths, which keeps every colour they can show without writing a palette.
std::uint32_t FileDepth(HDC screen) {
  const int bits = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
  return bits == 32 ? 32 : 24;
}

bool FitsInt(std::int64_t v) { return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max(); }

// The state handed through the fault guard to the library call.
struct ConvertCall {
  FARPROC proc;
  const wchar_t* bmp;
  const wchar_t* png;
  bool converted;
};

void RunConvert(void* context) {
  auto* call = static_cast<ConvertCall*>(context);
  // The export returns a one-byte Boolean in the low byte of the result register; the upper bytes are
  // whatever the library left there, so the whole register is read and only its low byte tested.
  using RawConvertFn = std::uint32_t(WINAPI*)(const wchar_t*, const wchar_t*);
  try {
    const auto convert = reinterpret_cast<RawConvertFn>(reinterpret_cast<void (*)()>(call->proc));
    const std::uint32_t result = convert(call->bmp, call->png);
    call->converted = (result & 0xFF) != 0;
  } catch (...) {
    call->converted = false;
  }
}

}  // namespace

void WaitWhileShiftDown() {
  gui::Application& app = gui::Application::Instance();
  while (::GetKeyState(VK_SHIFT) & 0x8000) {
    // A quit request ends the wait; the main loop receives it again.
    if (!app.ProcessMessages()) return;
    // Sleeps until input arrives or 10 ms pass, instead of spinning a processor while the key is held.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void LetCoveredWindowsRepaint() {
  gui::Application& app = gui::Application::Instance();
  app.ProcessMessages();
  ::Sleep(10);
  app.ProcessMessages();
}

void DrawCursorOnImage(HDC image, int originX, int originY) {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetCursorInfo(&info) || info.flags != CURSOR_SHOWING) return;
  const gui::UniqueIcon cursor(::CopyIcon(info.hCursor));
  if (!cursor) return;
  ICONINFO icon{};
  if (!::GetIconInfo(cursor.get(), &icon)) return;
  const gui::UniqueBitmap mask(icon.hbmMask);
  const gui::UniqueBitmap colour(icon.hbmColor);
  const std::int64_t x = std::int64_t{info.ptScreenPos.x} - icon.xHotspot - originX;
  const std::int64_t y = std::int64_t{info.ptScreenPos.y} - icon.yHotspot - originY;
  if (!FitsInt(x) || !FitsInt(y)) return;  // so far off the image that nothing of it would show
  ::DrawIconEx(image, static_cast<int>(x), static_cast<int>(y), cursor.get(), 0, 0, 0, nullptr, DI_NORMAL);
}

CapturedImage CaptureScreenPixels(const core::Rect& rect, bool drawCursor, const WindowPicture* over) {
  const std::int64_t width = std::int64_t{rect.right} - rect.left;
  const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
  if (width <= 0 || height <= 0) return {};
  const std::wstring what = L"Cannot capture " + std::to_wstring(width) + L"x" + std::to_wstring(height) +
                            L" pixels at " + std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top);
  if (width > core::kBmpMaxDimension || height > core::kBmpMaxDimension) {
    throw gui::Win32Error(what, ERROR_ARITHMETIC_OVERFLOW);
  }
  CapturedImage result;
  result.width = static_cast<int>(width);
  result.height = static_cast<int>(height);
  const int w = result.width;
  const int h = result.height;

  gui::WindowDc screen = gui::WindowDc::Client();
  result.depth = FileDepth(screen.dc());
  // Checked before any pixel is copied: a file beyond the format's 32-bit size field cannot be written.
  const auto header = core::MakeBmpHeader(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), result.depth);
  if (!header) throw gui::Win32Error(what, ERROR_ARITHMETIC_OVERFLOW);

  gui::UniqueBitmap image(::CreateCompatibleBitmap(screen.dc(), w, h));
  gui::UniqueMemDc imageDc(::CreateCompatibleDC(screen.dc()));
  if (!image || !imageDc) throw gui::Win32Error(what, ERROR_NOT_ENOUGH_MEMORY);
  {
    const gui::SelectedObject selected(imageDc.get(), image.get());
    ::BitBlt(imageDc.get(), 0, 0, w, h, screen.dc(), rect.left, rect.top, kCaptureRop);
    screen.reset();  // released as soon as the pixels are copied
    if (over) {
      const int ow = over->area.Width(), oh = over->area.Height();
      BITMAPINFO picture{};
      picture.bmiHeader.biSize = sizeof picture.bmiHeader;
      picture.bmiHeader.biWidth = ow;
      picture.bmiHeader.biHeight = -oh;  // top-down
      picture.bmiHeader.biPlanes = 1;
      picture.bmiHeader.biBitCount = 32;
      picture.bmiHeader.biCompression = BI_RGB;
      ::SetDIBitsToDevice(imageDc.get(), over->area.left - rect.left, over->area.top - rect.top, ow, oh, 0, 0, 0, oh,
                          over->pixels.data(), &picture, DIB_RGB_COLORS);
    }
    // The cursor's position is read after the pixels were copied.
    if (drawCursor) DrawCursorOnImage(imageDc.get(), rect.left, rect.top);
  }  // GetDIBits wants the bitmap out of every device context

  result.bmp.assign(header->begin(), header->end());
  result.bmp.resize(result.bmp.size() +
                    core::BmpStride(static_cast<std::uint32_t>(w), result.depth) * static_cast<std::uint64_t>(h));

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // bottom-up, as the file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(result.depth);
  info.bmiHeader.biCompression = BI_RGB;
  // A failed read would otherwise be saved as a blank image and reported as a snapshot.
  if (::GetDIBits(imageDc.get(), image.get(), 0, static_cast<UINT>(h), result.bmp.data() + core::kBmpHeaderSize, &info,
                  DIB_RGB_COLORS) == 0) {
    throw gui::Win32Error(what, ERROR_NOT_ENOUGH_MEMORY);
  }
  return result;
}

void WriteBmpFile(const CapturedImage& image, const std::wstring& path) { gui::WriteFileAtomically(path, image.bmp); }

void CaptureScreenRect(const core::Rect& rect, const std::wstring& path, bool drawCursor) {
  WaitWhileShiftDown();
  WriteBmpFile(CaptureScreenPixels(rect, drawCursor), path);
}

std::wstring ConvertToPng(const std::wstring& bmpPath, const std::wstring& exeName) {
  const std::wstring library = core::ChangeFileExt(exeName, L".dll");
  if (!gui::FileExists(library)) return bmpPath;

  // Never freed, on purpose: after a fault inside the library its state is unknown and unloading it could
  // run its cleanup on broken data; loading it again for the next snapshot only adds a reference.
  const HMODULE module = ::LoadLibraryW(library.c_str());
  if (!module) return bmpPath;
  const FARPROC proc = ::GetProcAddress(module, kConvertExportName);
  if (!proc) return bmpPath;

  const std::wstring png = core::ChangeFileExt(bmpPath, L".png");
  ConvertCall call{proc, bmpPath.c_str(), png.c_str(), false};
  if (!CallGuarded(RunConvert, &call) || !call.converted) return bmpPath;
  return png;
}
