#include "engine/ovWinSnap.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Handles.h"
#include "base/Paths.h"
#include "core/Bmp.h"
#include "core/Paths.h"
#include "engine/ovFaultGuard.h"
#include "engine/ovHost.h"
#include "engine/ovWorker.h"
#include "gui/Handles.h"

namespace {

constexpr DWORD kCaptureRop = SRCCOPY | CAPTUREBLT;  // layered windows are copied as they appear

// The depth the file is written at: the display's own when it is 32 or 24 bits a pixel; 24 for lower
// depths, which keeps every colour they can show without writing a palette.
std::uint32_t FileDepth(HDC screen) {
  const int bits = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
  return bits == 32 ? 32 : 24;
}

bool FitsInt(std::int64_t v) { return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max(); }

// One conversion, shared by the interface thread and the worker that calls the library. The worker holds its own
// reference: a worker that never returns keeps the state alive after the interface thread has given up on it.
struct ConvertJob {
  std::wstring library;
  std::wstring bmp;
  std::wstring png;
  std::atomic<bool> converted{false};
  std::atomic<bool> finished{false};
};

// The workers that were given up on while still inside their library. Until one returns its library is not called
// again: a second call would most likely hang as well, and a DllMain that hangs holds the loader lock, so a new
// worker could not even start.
bool StillStuckIn(const std::wstring& library, std::vector<std::shared_ptr<ConvertJob>>& abandoned) {
  std::erase_if(abandoned, [](const std::shared_ptr<ConvertJob>& job) { return job->finished.load(); });
  return std::any_of(abandoned.begin(), abandoned.end(),
                     [&](const std::shared_ptr<ConvertJob>& job) { return job->library == library; });
}

std::vector<std::shared_ptr<ConvertJob>>& AbandonedJobs() {
  static std::vector<std::shared_ptr<ConvertJob>> jobs;
  return jobs;
}

// The export returns a one-byte Boolean in the low byte of the result register; the upper bytes are whatever the
// library left there, so the whole register is read and only its low byte tested.
struct ConvertCall {
  FARPROC proc;
  const wchar_t* bmp;
  const wchar_t* png;
  bool converted;
};

void RunConvert(void* context) {
  auto* call = static_cast<ConvertCall*>(context);
  using RawConvertFn = std::uint32_t(WINAPI*)(const wchar_t*, const wchar_t*);
  try {
    const auto convert = reinterpret_cast<RawConvertFn>(reinterpret_cast<void (*)()>(call->proc));
    const std::uint32_t result = convert(call->bmp, call->png);
    call->converted = (result & 0xFF) != 0;
  } catch (...) {
    call->converted = false;
  }
}

// Loading the library runs its DllMain, which is foreign code too: both happen on the worker, under the guard.
struct LoadCall {
  const ConvertJob* job;
  FARPROC proc;
};

void RunLoad(void* context) {
  auto* call = static_cast<LoadCall*>(context);
  // Never freed, on purpose: after a fault inside the library its state is unknown and unloading it could run its
  // cleanup on broken data, and a worker that was given up on may still be inside it. Loading it again for the
  // next snapshot only adds a reference.
  const HMODULE module = ::LoadLibraryW(call->job->library.c_str());
  call->proc = module ? ::GetProcAddress(module, kConvertExportName) : nullptr;
}

// The worker's part: loads the library and converts, each under the guard, then marks the job finished.
void RunConvertJob(ConvertJob& job) {
  LoadCall load{&job, nullptr};
  if (CallGuarded(RunLoad, &load) && load.proc) {
    ConvertCall call{load.proc, job.bmp.c_str(), job.png.c_str(), false};
    job.converted = CallGuarded(RunConvert, &call) && call.converted;
  }
  job.finished = true;
}

// The worker's own stack, reserved (not committed) generously: a library that recurses deeply gets room, and one
// that recurses without end overflows this stack only.
constexpr SIZE_T kConvertStackBytes = 64 * 1024 * 1024;

}  // namespace

void WaitWhileShiftDown() {
  TovWaiter& waiter = Waiter();
  while (::GetKeyState(VK_SHIFT) & 0x8000) {
    // 10 ms a round instead of spinning a processor while the key is held. A quit request ends the wait; the main
    // loop receives it again.
    const auto round = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
    if (waiter.Wait(nullptr, round) == TovWaiter::Woke::Ending) return;
  }
}

void LetCoveredWindowsRepaint() {
  Waiter().Wait(nullptr, std::chrono::steady_clock::now() + std::chrono::milliseconds(10));
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
    throw base::Win32Error(what, ERROR_ARITHMETIC_OVERFLOW);
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
  if (!header) throw base::Win32Error(what, ERROR_ARITHMETIC_OVERFLOW);

  gui::UniqueBitmap image(::CreateCompatibleBitmap(screen.dc(), w, h));
  gui::UniqueMemDc imageDc(::CreateCompatibleDC(screen.dc()));
  if (!image || !imageDc) throw base::Win32Error(what, ERROR_NOT_ENOUGH_MEMORY);
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
    throw base::Win32Error(what, ERROR_NOT_ENOUGH_MEMORY);
  }
  return result;
}

void WriteBmpFile(const CapturedImage& image, const std::wstring& path) { base::WriteFileAtomically(path, image.bmp); }

void CaptureScreenRect(const core::Rect& rect, const std::wstring& path, bool drawCursor) {
  WaitWhileShiftDown();
  WriteBmpFile(CaptureScreenPixels(rect, drawCursor), path);
}

std::wstring ConvertToPng(const std::wstring& bmpPath, const std::wstring& exeName,
                          std::chrono::milliseconds timeLimit) {
  const std::wstring library = core::ChangeFileExt(exeName, L".dll");
  if (!base::FileExists(library)) return bmpPath;

  if (StillStuckIn(library, AbandonedJobs())) return bmpPath;

  auto job = std::make_shared<ConvertJob>();
  job->library = library;
  job->bmp = bmpPath;
  job->png = core::ChangeFileExt(bmpPath, L".png");
  const TovWorker worker = TovWorker::Start([job] { RunConvertJob(*job); }, kConvertStackBytes);
  if (!worker) return bmpPath;

  // This thread goes on answering its messages meanwhile; a program that is ending stops waiting.
  const auto deadline = std::chrono::steady_clock::now() + timeLimit;
  if (Waiter().Wait(worker.Thread(), deadline) != TovWaiter::Woke::Signalled) {
    AbandonedJobs().push_back(job);  // left to itself; the library stays loaded while it may be inside
    return bmpPath;
  }
  // A library may claim success without having written anything; the shell is never handed a missing file.
  return job->converted && base::FileExists(job->png) ? job->png : bmpPath;
}

bool ConversionStillRunning() {
  auto& abandoned = AbandonedJobs();
  return std::any_of(abandoned.begin(), abandoned.end(),
                     [](const std::shared_ptr<ConvertJob>& job) { return !job->finished.load(); });
}
