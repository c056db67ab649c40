// Times the picker's idle poll and the target helper's read on real windows.
//   bench_inspect.exe [runs]
// Prints key=value lines: the medians in microseconds, the machine and the display.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/Form.h"
#include "BenchKit.h"
#include "gui/Handles.h"
#include "gui/PaintedControls.h"
#include "app/ovSkimlet.h"
#include "engine/ovWinUtils.h"
#include "support/Poll.h"

namespace {

double NowUs() { return 1000.0 * bench::NowMs(); }

// The picker inside its swatch, on a small form at the bottom right, as in the program.
class HostForm : public gui::Form {
 public:
  HostForm() : Form(Design()) {
    OnCreate = [this] {
      pnl.Create(*this, {8, 8, 32, 32}, RGB(255, 255, 255));
      grab.Create(pnl, {0, 0, 32, 32});
    };
  }
  gui::Panel pnl;
  TovSkimlet grab;

 private:
  static gui::FormDesign Design() {
    gui::FormDesign design;
    design.caption = L"bench";
    design.client = {312, 213};
    design.topmost = true;
    design.origin = {1500, 800};
    return design;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

  HostForm form;
  if (!form.Create()) return 1;
  form.Show();
  const fixture::OwnedWindow a = bench::TitledWindow(L"Window A", {100, 100, 400, 300});
  const fixture::OwnedWindow b = bench::TitledWindow(L"Window B", {500, 100, 800, 300});
  HWND button = ::CreateWindowExW(0, L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE, 10, 10, 120, 30, a.get(), nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  // The font is made here: the tests' font helper lives in a support file that needs the test framework.
  LOGFONTW lf{};
  lf.lfHeight = -13;
  lf.lfWeight = 700;
  wcscpy_s(lf.lfFaceName, L"Tahoma");
  const gui::UniqueFont font(::CreateFontIndirectW(&lf));
  ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  fixture::Settle(200);

  int grabs = 0;
  form.grab.OnGrab = [&] { ++grabs; };
  const POINT overA{250, 250};  // inside A, outside its button
  const POINT overB{650, 200};

  // One poll while the window under the pointer stays the same: the pixel, the swatch and the window search.
  form.grab.BeginGrab();
  ::SetCursorPos(overA.x, overA.y);
  form.grab.Track();
  std::vector<double> unchanged;
  for (int i = 0; i < runs; ++i) {
    const double start = NowUs();
    form.grab.Track();
    unchanged.push_back(NowUs() - start);
    if (i % 64 == 0) fixture::PumpMessages();
  }

  // One poll after the pointer moved to the other window: also the two frames and the event.
  std::vector<double> changed;
  for (int i = 0; i < runs; ++i) {
    const POINT p = i % 2 ? overA : overB;
    ::SetCursorPos(p.x, p.y);
    const double start = NowUs();
    form.grab.Track();
    changed.push_back(NowUs() - start);
    if (i % 64 == 0) fixture::PumpMessages();
  }
  form.grab.EndGrab();

  // One read of a target: a top-level window, and a control of the same thread with a font.
  TovWinUtils utils;
  utils.SetScreenPpi(form.Dpi());
  std::vector<double> readTop, readControl;
  for (int i = 0; i < runs; ++i) {
    double start = NowUs();
    utils.SetWnd(b.get());
    readTop.push_back(NowUs() - start);
    start = NowUs();
    utils.SetWnd(button);
    readControl.push_back(NowUs() - start);
  }

  std::printf("runs=%d\n", runs);
  std::printf("track_unchanged_us_median=%.2f\n", bench::Median(unchanged));
  std::printf("track_changed_us_median=%.2f\n", bench::Median(changed));
  std::printf("setwnd_toplevel_us_median=%.2f\n", bench::Median(readTop));
  std::printf("setwnd_control_with_font_us_median=%.2f\n", bench::Median(readControl));
  std::printf("changes_seen=%d\n", grabs);
  bench::PrintMachine();
  return 0;
}
