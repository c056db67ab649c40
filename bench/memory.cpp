// Drives skimlet.exe for the memory and idle figures, which a script reads from outside (from /proc under Wine,
// where another process's counters cannot be asked for). The script and this program take turns through marker
// files in <folder>: this program creates one when skimlet.exe is in the state to measure, and waits for the
// script's marker before it goes on (at most ten minutes each).
//   bench_memory.exe <folder> <skimlet.exe> picks <count>
//     started (window shown)  -> waits for go  -> <count> picks -> picked -> waits for done
//     A pick is a whole drag with real mouse input: press on the picker, move over one of two windows of this
//     program (in turn), wait until the information shows that window's title, release.
//   bench_memory.exe <folder> <skimlet.exe> idle
//     shown (window shown)    -> waits for hide -> WM_CLOSE (the window goes to the tray) -> hidden -> waits for done
// Finally skimlet.exe is ended. Prints key=value lines (picks, confirmed, pick_ms_median, ...).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchKit.h"
#include "gui/Handles.h"

namespace {

constexpr DWORD kMarkerWaitMs = 600000;
constexpr double kPickTimeoutMs = 2000;

using OwnedWindow = gui::UniqueHandle<HWND, ::DestroyWindow>;
using OwnedHandle = gui::UniqueHandle<HANDLE, ::CloseHandle>;

std::wstring Widen(const char* s) {
  std::wstring out;
  for (; *s; ++s) out += static_cast<wchar_t>(static_cast<unsigned char>(*s));
  return out;
}

class Markers {
 public:
  explicit Markers(std::wstring folder) : folder_(std::move(folder)) {
    if (!folder_.empty() && folder_.back() != L'\\') folder_ += L'\\';
  }
  void Create(const wchar_t* name) const {
    const gui::UniqueFile file(::CreateFileW((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  bool WaitFor(const wchar_t* name) const {
    const ULONGLONG deadline = ::GetTickCount64() + kMarkerWaitMs;
    while (::GetFileAttributesW((folder_ + name).c_str()) == INVALID_FILE_ATTRIBUTES) {
      if (::GetTickCount64() > deadline) return false;
      bench::PumpMessages();
      ::Sleep(20);
    }
    return true;
  }

 private:
  std::wstring folder_;
};

BOOL CALLBACK FindMemo(HWND window, LPARAM param) {
  wchar_t cls[64] = {};
  ::GetClassNameW(window, cls, 64);
  if (_wcsicmp(cls, L"Edit") == 0 && (::GetWindowLongW(window, GWL_STYLE) & ES_MULTILINE)) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

std::wstring TextOf(HWND window) {
  wchar_t text[4096] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &copied);
  return text;
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof input);
}

void MoveTo(POINT p) {
  ::SetCursorPos(p.x, p.y);
  SendMouse(MOUSEEVENTF_MOVE);  // a zero move, so that the window under the pointer hears of it
}

OwnedWindow Fixture(const wchar_t* title, int x, int y) {
  return OwnedWindow(::CreateWindowExW(0, L"STATIC", title, WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, 400, 300,
                                       nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

POINT CenterOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Starts skimlet.exe and waits for its main window; ends it again when this object goes.
class Target {
 public:
  bool Start(const std::wstring& program) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
      return false;
    }
    process_.reset(info.hProcess);
    OwnedHandle thread(info.hThread);
    const ULONGLONG deadline = ::GetTickCount64() + 30000;
    while (!(main_ = bench::VisibleWindowOf(info.dwProcessId, L"TovFrmMain")) && ::GetTickCount64() < deadline) {
      bench::PumpMessages();
      ::Sleep(10);
    }
    if (!main_) return false;
    ::WaitForInputIdle(process_.get(), 5000);
    ::EnumChildWindows(main_, FindMemo, reinterpret_cast<LPARAM>(&memo_));
    return memo_ != nullptr;
  }
  ~Target() {
    if (process_) {
      ::TerminateProcess(process_.get(), 0);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }
  HWND Main() const { return main_; }
  HWND Memo() const { return memo_; }
  HANDLE Process() const { return process_.get(); }

 private:
  OwnedHandle process_;
  HWND main_ = nullptr;
  HWND memo_ = nullptr;
};

// Lets the system settle: Wine's tray, the start balloon, the first paint.
void Settle(int ms) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
  while (::GetTickCount64() < deadline) {
    bench::PumpMessages();
    ::Sleep(10);
  }
}

int Picks(const Markers& markers, Target& target, int count) {
  const OwnedWindow a = Fixture(L"Bench window A", 100, 100);
  const OwnedWindow b = Fixture(L"Bench window B", 600, 100);
  Settle(1000);
  markers.Create(L"started");
  if (!markers.WaitFor(L"go")) return 1;

  // The picker sits at (8, 8) in the main window's client area, 32 pixels square at 96 dpi.
  const double scale = ::GetDpiForWindow(target.Main()) / 96.0;
  POINT picker{static_cast<LONG>(24 * scale), static_cast<LONG>(24 * scale)};
  ::ClientToScreen(target.Main(), &picker);
  const HWND windows[2] = {a.get(), b.get()};
  const std::wstring titles[2] = {L"Bench window A", L"Bench window B"};

  int confirmed = 0;
  std::vector<double> times;
  const double begin = bench::NowMs();
  for (int i = 0; i < count; ++i) {
    const double start = bench::NowMs();
    MoveTo(picker);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    const POINT over = CenterOf(windows[i % 2]);
    MoveTo({(picker.x + over.x) / 2, (picker.y + over.y) / 2});
    MoveTo(over);
    bool seen = false;
    while (!seen && bench::NowMs() - start < kPickTimeoutMs) {
      seen = TextOf(target.Memo()).find(titles[i % 2]) != std::wstring::npos;
      if (!seen) ::Sleep(1);
    }
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::WaitForInputIdle(target.Process(), 1000);
    bench::PumpMessages();
    if (seen) ++confirmed;
    times.push_back(bench::NowMs() - start);
    if (i == 0 && !seen) {
      std::printf("error=the first pick did not show the window\n");
      break;
    }
  }
  const double total = bench::NowMs() - begin;
  std::printf("picks=%d\nconfirmed=%d\npick_ms_median=%.1f\npicks_total_s=%.1f\n", count, confirmed,
              bench::Median(times), total / 1000);
  std::fflush(stdout);
  Settle(1000);
  markers.Create(L"picked");
  return markers.WaitFor(L"done") && confirmed == count ? 0 : 1;
}

int Idle(const Markers& markers, Target& target) {
  Settle(1000);
  markers.Create(L"shown");
  if (!markers.WaitFor(L"hide")) return 1;
  ::PostMessageW(target.Main(), WM_CLOSE, 0, 0);
  const ULONGLONG deadline = ::GetTickCount64() + 5000;
  while (::IsWindowVisible(target.Main()) && ::GetTickCount64() < deadline) ::Sleep(10);
  const bool hidden = !::IsWindowVisible(target.Main());
  const bool running = ::WaitForSingleObject(target.Process(), 0) == WAIT_TIMEOUT;
  std::printf("hidden=%d\nrunning_after_close=%d\n", hidden ? 1 : 0, running ? 1 : 0);
  std::fflush(stdout);
  Settle(1000);
  markers.Create(L"hidden");
  return markers.WaitFor(L"done") && hidden && running ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_memory <folder> <skimlet.exe> picks <count> | idle\n");
    return 2;
  }
  const Markers markers(Widen(argv[1]));
  const std::string mode = argv[3];
  std::printf("cpu=%s\ndisplay=%dx%d, %u dpi\n", bench::CpuName().c_str(), ::GetSystemMetrics(SM_CXSCREEN),
              ::GetSystemMetrics(SM_CYSCREEN), ::GetDpiForSystem());
  Target target;
  if (!target.Start(Widen(argv[2]))) {
    std::printf("error=skimlet.exe showed no main window\n");
    return 1;
  }
  if (mode == "picks") return Picks(markers, target, argc > 4 ? std::max(1, std::atoi(argv[4])) : 1000);
  if (mode == "idle") return Idle(markers, target);
  std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
  return 2;
}
