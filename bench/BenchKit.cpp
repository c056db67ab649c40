#include "BenchKit.h"

#include <algorithm>
#include <cstdio>

#include "gui/Handles.h"
#include "support/Poll.h"
#include "support/TestFiles.h"

namespace bench {

double NowMs() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double MedianMs(int runs, const std::function<void()>& call) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    call();
    times.push_back(NowMs() - start);
  }
  return Median(times);
}

std::wstring Widen(const char* s) {
  std::wstring out;
  for (; *s; ++s) out += static_cast<wchar_t>(static_cast<unsigned char>(*s));
  return out;
}

void PrintMachine() {
  char cpu[256] = "unknown";
  DWORD size = sizeof cpu;
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                     "ProcessorNameString", RRF_RT_REG_SZ, nullptr, cpu, &size) != ERROR_SUCCESS) {
    std::snprintf(cpu, sizeof cpu, "unknown");
  }
  int depth = 0;
  {
    const gui::WindowDc screen = gui::WindowDc::Client();
    depth = ::GetDeviceCaps(screen.dc(), BITSPIXEL) * ::GetDeviceCaps(screen.dc(), PLANES);
  }
  std::printf("cpu=%s\ndisplay=%dx%d, %d bits per pixel, %u dpi\n", cpu, ::GetSystemMetrics(SM_CXSCREEN),
              ::GetSystemMetrics(SM_CYSCREEN), depth, ::GetDpiForSystem());
  std::fflush(stdout);
}

bool WaitForFile(const std::wstring& path, int timeoutMs) {
  return fixture::PollUntil([&] { return fixture::FileExists(path); }, timeoutMs);
}

fixture::OwnedWindow TitledWindow(const wchar_t* title, const RECT& bounds) {
  return fixture::OwnedWindow(::CreateWindowExW(0, L"STATIC", title, WS_POPUP | WS_VISIBLE | WS_BORDER, bounds.left,
                                                bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

}  // namespace bench
