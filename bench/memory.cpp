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
#include "base/Handles.h"
#include "support/Poll.h"
#include "support/Process.h"
#include "support/TestFiles.h"

namespace {

constexpr int kMarkerWaitMs = 600000;
constexpr double kPickTimeoutMs = 2000;

class Markers {
 public:
  explicit Markers(std::wstring folder) : folder_(std::move(folder)) {
    if (!folder_.empty() && folder_.back() != L'\\') folder_ += L'\\';
  }
  // False when the marker could not be made (the script would wait for it in vain).
  [[nodiscard]] bool Create(const wchar_t* name) const { return fixture::WriteFileBytes(folder_ + name, ""); }
  bool WaitFor(const wchar_t* name) const { return bench::WaitForFile(folder_ + name, kMarkerWaitMs); }

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

// Starts a copy of skimlet.exe (in a fresh folder of its own, so no task file of earlier runs is read) and waits for
// its main window; the copy is ended when this object goes.
class Target {
 public:
  bool Start(const std::wstring& program) {
    if (!child_.Start(program)) return false;
    process_.reset(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, child_.Id()));
    fixture::PollUntil(
        [&] { return (main_ = fixture::FindProcessWindow(child_.Id(), L"TovFrmMain", true)) != nullptr; }, 30000);
    if (!main_ || !process_) return false;
    ::WaitForInputIdle(process_.get(), 5000);
    ::EnumChildWindows(main_, FindMemo, reinterpret_cast<LPARAM>(&memo_));
    return memo_ != nullptr;
  }
  HWND Main() const { return main_; }
  HWND Memo() const { return memo_; }
  HANDLE Process() const { return process_.get(); }
  bool Running() const { return child_.Running(); }

 private:
  fixture::ChildProcess child_;
  base::UniqueHandleObject process_;
  HWND main_ = nullptr;
  HWND memo_ = nullptr;
};

int Picks(const Markers& markers, Target& target, int count) {
  const fixture::OwnedWindow a = bench::TitledWindow(L"Bench window A", {100, 100, 500, 400});
  const fixture::OwnedWindow b = bench::TitledWindow(L"Bench window B", {600, 100, 1000, 400});
  fixture::Settle(1000);  // Wine's tray, the start balloon, the first paint
  if (!markers.Create(L"started") || !markers.WaitFor(L"go")) return 1;

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
    fixture::PointerTo(picker);
    fixture::LeftButton(true);
    const POINT over = fixture::CenterOf(windows[i % 2]);
    fixture::PointerTo({(picker.x + over.x) / 2, (picker.y + over.y) / 2});
    fixture::PointerTo(over);
    bool seen = false;
    while (!seen && bench::NowMs() - start < kPickTimeoutMs) {
      seen = TextOf(target.Memo()).find(titles[i % 2]) != std::wstring::npos;
      if (!seen) ::Sleep(1);
    }
    fixture::LeftButton(false);
    ::WaitForInputIdle(target.Process(), 1000);
    fixture::PumpMessages();
    if (seen) ++confirmed;
    times.push_back(bench::NowMs() - start);
    if (i == 0 && !seen) {
      std::printf("error=the first pick did not show the window\n");
      break;
    }
  }
  const double total = bench::NowMs() - begin;
  // The picks made: fewer than planned when the first one failed.
  const int made = static_cast<int>(times.size());
  std::printf("picks=%d\nconfirmed=%d\npick_ms_median=%.1f\npicks_total_s=%.1f\n", made, confirmed,
              bench::Median(times), total / 1000);
  std::fflush(stdout);
  fixture::Settle(1000);
  return markers.Create(L"picked") && markers.WaitFor(L"done") && confirmed == count ? 0 : 1;
}

int Idle(const Markers& markers, Target& target) {
  fixture::Settle(1000);
  if (!markers.Create(L"shown") || !markers.WaitFor(L"hide")) return 1;
  ::PostMessageW(target.Main(), WM_CLOSE, 0, 0);
  const bool hidden = fixture::PollUntil([&] { return !::IsWindowVisible(target.Main()); }, 5000);
  const bool running = target.Running();
  std::printf("hidden=%d\nrunning_after_close=%d\n", hidden ? 1 : 0, running ? 1 : 0);
  std::fflush(stdout);
  fixture::Settle(1000);
  return markers.Create(L"hidden") && markers.WaitFor(L"done") && hidden && running ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_memory <folder> <skimlet.exe> picks <count> | idle\n");
    return 2;
  }
  const Markers markers(bench::Widen(argv[1]));
  const std::string mode = argv[3];
  bench::PrintMachine();
  Target target;
  if (!target.Start(bench::Widen(argv[2]))) {
    std::printf("error=skimlet.exe showed no main window\n");
    return 1;
  }
  if (mode == "picks") return Picks(markers, target, argc > 4 ? std::max(1, std::atoi(argv[4])) : 1000);
  if (mode == "idle") return Idle(markers, target);
  std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
  return 2;
}
