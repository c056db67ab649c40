// Times a full-screen capture to a bitmap file and its conversion to PNG: through the product's library, and through
// the imaging component's PNG encoder that the library used before, on the same bitmap. With the picture, also the
// window snapshot of the picture while a small window covers it, which has the picture draw itself, and of a covered
// window of another process (a second bench_snap in "other" mode), beside the screen copy of each.
//   bench_snap.exe [runs] [output folder] [desktop]
//   bench_snap.exe other <folder>: shows the other process's window until <folder>\other-done appears
// Shows a full-screen picture first, so the files hold more than a flat colour; with "desktop" it shows nothing and
// captures the screen as it is. With the picture, when it has measured it writes <folder>\ready and keeps the
// picture up until <folder>\done appears (at most two minutes), so that a script can capture the same screen with
// other tools meanwhile. The bitmap stays in the folder as bench.tmp.bmp.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/Geometry.h"
#include "core/PngEncoder.h"
#include "BenchKit.h"
#include "base/Handles.h"
#include "gui/Handles.h"
#include "engine/ovWinSnap.h"
#include "engine/ovWindowCapture.h"
#include "support/ImageFiles.h"
#include "support/Poll.h"
#include "support/TestFiles.h"
#include "snap_wic.h"

namespace {

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Gradients with fine detail, roughly as hard to compress as a desktop with text and pictures.
void PaintPicture(HWND hwnd, HDC dc) {
  RECT r;
  ::GetClientRect(hwnd, &r);
  const int w = r.right, h = r.bottom;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned noise = ((x * 7919u) ^ (y * 104729u)) * 2654435761u >> 28;
      const unsigned red = (x * 255 / w) ^ ((y / 16) % 2 ? 0 : 0x20);
      const unsigned green = (y * 255 / h + noise) & 0xFF;
      const unsigned blue = ((x / 40 + y / 30) % 2 ? 200 : 60) + noise;
      pixels[static_cast<std::size_t>(y) * w + x] = (red << 16) | (green << 8) | (blue & 0xFF);
    }
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  ::SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, pixels.data(), &bi, DIB_RGB_COLORS);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    const gui::PaintDc dc(hwnd);
    PaintPicture(hwnd, dc.dc());
    return 0;
  }
  if (msg == WM_PRINTCLIENT) {  // what PrintWindow asks for
    PaintPicture(hwnd, reinterpret_cast<HDC>(wp));
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// The other process's window: its left half one colour, its right half another, so that a capture of it is told
// from what covers it and is never taken for a blank picture.
constexpr COLORREF kOtherLeft = RGB(0x20, 0x80, 0xC0), kOtherRight = RGB(0xC0, 0x60, 0x20);
constexpr int kOtherLeftEdge = 200, kOtherTopEdge = 150, kOtherWidth = 640, kOtherHeight = 400;

void PaintOther(HWND hwnd, HDC dc) {
  RECT r;
  ::GetClientRect(hwnd, &r);
  RECT left = r, right = r;
  left.right = right.left = r.right / 2;
  const gui::UniqueBrush a(::CreateSolidBrush(kOtherLeft)), b(::CreateSolidBrush(kOtherRight));
  ::FillRect(dc, &left, a.get());
  ::FillRect(dc, &right, b.get());
}

LRESULT CALLBACK OtherProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    const gui::PaintDc dc(hwnd);
    PaintOther(hwnd, dc.dc());
    return 0;
  }
  if (msg == WM_PRINTCLIENT) {
    PaintOther(hwnd, reinterpret_cast<HDC>(wp));
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// "other" mode: the window of another process, kept up (and answering) until the measuring process is done.
int RunOther(const std::wstring& folder) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = OtherProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BenchSnapOther";
  ::RegisterClassW(&wc);
  const HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"BenchSnapOther", WS_POPUP | WS_VISIBLE, kOtherLeftEdge,
                                        kOtherTopEdge, kOtherWidth, kOtherHeight, nullptr, nullptr, wc.hInstance,
                                        nullptr);
  const std::wstring done = folder + L"other-done";
  fixture::PollUntil([&] { return ::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 120000);
  ::DestroyWindow(window);
  return 0;
}

// Starts this program in "other" mode; the process handle, or none.
base::UniqueHandleObject StartOther(const std::wstring& self, const std::wstring& folder) {
  std::wstring command = L"\"" + self + L"\" other \"" + folder + L"\"";
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
  ::CloseHandle(pi.hThread);
  return base::UniqueHandleObject(pi.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "other") == 0) {
    std::wstring folder = bench::Widen(argv[2]);
    if (folder.back() != L'\\') folder += L'\\';
    return RunOther(folder);
  }
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  std::wstring folder = argc > 2 ? bench::Widen(argv[2]) : L".";
  if (folder.back() != L'\\') folder += L'\\';
  const bool desktop = argc > 3 && std::strcmp(argv[3], "desktop") == 0;

  std::wstring self(32768, L'\0');
  self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  // The product's library: <build>\bin\skimlet.dll, beside <build>\bench\bench_snap.exe.
  const std::wstring library = self.substr(0, self.find_last_of(L'\\')) + L"\\..\\bin\\skimlet.dll";

  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  bench::PrintMachine();
  std::printf("runs=%d\npicture=%s\n", runs, desktop ? "desktop" : "synthetic");

  HWND picture = nullptr;
  if (!desktop) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PictureProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BenchSnapPicture";
    ::RegisterClassW(&wc);
    picture = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                nullptr, nullptr, wc.hInstance, nullptr);
    ::UpdateWindow(picture);
    fixture::Settle(500);  // let the picture reach the screen
  }

  const std::wstring bmp = folder + L"bench.tmp.bmp", wicPng = folder + L"wic.png";
  std::wstring result;
  double captureMs = 0, convertMs = 0, wicMs = 0, filterMs = 0, encodeMs = 0, singleMs = 0, coveredMs = -1,
         coveredShownMs = -1, otherMs = -1, otherShownMs = -1;
  bool otherItself = false, otherOrderKept = false;
  std::vector<std::uint8_t> parallelPng, singlePng;
  bool coveredDrawn = false;
  bool wicWritten = false;
  try {
    captureMs = bench::MedianMs(runs, [&] { CaptureScreenRect(core::Rect{0, 0, width, height}, bmp, false); });
    convertMs = bench::MedianMs(runs, [&] { result = ConvertToPng(bmp, library); });
    wicMs = bench::MedianMs(runs, [&] { wicWritten = WicConvertBmpToPng(bmp, wicPng); });
    // The encoder alone, in memory: at level 0 deflate only stores, so that time is the filters' (and copying's).
    const std::string bytes = fixture::ReadFileBytes(bmp);
    const std::span<const std::uint8_t> file(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    filterMs = bench::MedianMs(runs, [&] { core::EncodeBmpAsPng(file, 0); });
    encodeMs = bench::MedianMs(runs, [&] { parallelPng = core::EncodeBmpAsPng(file); });
    singleMs = bench::MedianMs(runs, [&] { singlePng = core::EncodeBmpAsPng(file, core::kPngChooseLevel, {1}); });
    if (picture) {
      // A small black window over the picture: the window snapshot has the picture draw itself.
      const HWND cover = ::CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_VISIBLE | SS_BLACKRECT,
                                           width / 2, height / 2, 200, 100, nullptr, nullptr, nullptr, nullptr);
      fixture::Settle(300);
      const std::wstring coveredBmp = folder + L"covered.bmp";
      const FrameBoundsSource none = [](HWND) { return std::optional<core::Rect>(); };
      coveredShownMs =
          bench::MedianMs(runs, [&] { CaptureWindow(picture, coveredBmp, false, none, WindowSnapWay::AsShown); });
      coveredMs = bench::MedianMs(runs, [&] { CaptureWindow(picture, coveredBmp, false, none); });
      const auto under = fixture::BmpPixel(fixture::ReadFileBytes(coveredBmp), width / 2 + 100, height / 2 + 50);
      coveredDrawn = IsWindowCovered(picture, {0, 0, width, height}) && under && *under != 0;
      ::DestroyWindow(cover);

      // A window of another process under the full-screen picture (which is in the topmost band): PrintWindow
      // cannot draw it here, so the window itself is the raised copy.
      const base::UniqueHandleObject other = StartOther(self, folder);
      HWND otherWindow = nullptr;
      fixture::PollUntil([&] { return (otherWindow = ::FindWindowW(L"BenchSnapOther", nullptr)) != nullptr; }, 10000);
      if (otherWindow) {
        fixture::Settle(300);
        const std::wstring otherBmp = folder + L"other.bmp";
        otherShownMs =
            bench::MedianMs(runs, [&] { CaptureWindow(otherWindow, otherBmp, false, none, WindowSnapWay::AsShown); });
        const HWND above = ::GetWindow(otherWindow, GW_HWNDPREV);
        otherMs = bench::MedianMs(runs, [&] { CaptureWindow(otherWindow, otherBmp, false, none); });
        otherOrderKept = ::GetWindow(otherWindow, GW_HWNDPREV) == above;
        const auto left = fixture::BmpPixel(fixture::ReadFileBytes(otherBmp), kOtherWidth / 4, kOtherHeight / 2);
        otherItself = left && *left == 0x2080C0u;  // kOtherLeft as the file holds it
      }
      // Without the marker the other process ends by itself after two minutes; the wait here is bounded the same.
      if (fixture::WriteFileBytes(folder + L"other-done", "") && other) ::WaitForSingleObject(other.get(), 5000);
    }
  } catch (const std::exception& e) {
    std::printf("error=%s\n", e.what());
    return 1;
  }
  const bool converted = result != bmp;
  const auto ours = converted ? WicDecode(result) : std::nullopt;
  const auto theirs = wicWritten ? WicDecode(wicPng) : std::nullopt;
  std::printf("capture_ms_median=%.2f\nconvert_ms_median=%.2f\nwic_ms_median=%.2f\n", captureMs, convertMs, wicMs);
  std::printf("encode_ms_median=%.2f\nfilter_ms_median=%.2f\n", encodeMs, filterMs);
  std::printf("encode_single_ms_median=%.2f\nencode_threads=%u\nencode_png_bytes=%zu\nencode_single_png_bytes=%zu\n",
              singleMs, std::thread::hardware_concurrency(), parallelPng.size(), singlePng.size());
  std::printf("covered_ms_median=%.2f\ncovered_as_shown_ms_median=%.2f\ncovered_drawn=%d\n", coveredMs, coveredShownMs,
              coveredDrawn ? 1 : 0);
  std::printf("other_process_ms_median=%.2f\nother_process_as_shown_ms_median=%.2f\nother_process_itself=%d\n"
              "other_process_order_kept=%d\n",
              otherMs, otherShownMs, otherItself ? 1 : 0, otherOrderKept ? 1 : 0);
  std::printf("converted=%d\nbmp_bytes=%lld\npng_bytes=%lld\nwic_png_bytes=%lld\nsame_pixels=%d\n", converted ? 1 : 0,
              FileSize(bmp), converted ? FileSize(result) : -1, wicWritten ? FileSize(wicPng) : -1,
              ours && theirs && *ours == *theirs ? 1 : 0);
  std::fflush(stdout);
  if (desktop) return 0;

  if (!fixture::WriteFileBytes(folder + L"ready", "")) {
    std::printf("error=cannot write the ready marker\n");
    return 1;
  }
  bench::WaitForFile(folder + L"done", 120000);
  ::DestroyWindow(picture);
  return 0;
}
