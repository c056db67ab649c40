// The cost of accessible elements beside reading a window: the element at a point (a button of element_fixture, in
// another process), a task's element found in a tree of 2,000 elements, and the target helper's read of the same
// window.
//   bench_elements.exe <element_fixture.exe> [runs, default 50]
// Prints key=value lines: medians in milliseconds, the machine and the display.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchKit.h"
#include "core/TaskDescription.h"
#include "engine/ovElements.h"
#include "engine/ovWinUtils.h"
#include "support/Poll.h"
#include "support/Process.h"

namespace {

constexpr int kTreeElements = 2000;  // the fixture's window element's children: three buttons and the items after

struct Fixture {
  fixture::ChildProcess process;
  HWND window = nullptr;
  bool Start(const std::wstring& exe, const std::wstring& args) {
    if (!process.Place(exe) || !process.Launch(L"\"" + process.ExePath() + L".txt\" " + args)) return false;
    fixture::PollUntil([&] { return ::IsWindowVisible(window = process.FindWindowOfClass(L"SkimletElements")); },
                       20000);
    return window != nullptr;
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_elements <element_fixture.exe> [runs]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10))) : 50;
  Fixture fixture;
  if (!fixture.Start(argv[1], L"many:" + std::to_wstring(kTreeElements - 3))) {
    std::fprintf(stderr, "the fixture did not show its window\n");
    return 1;
  }
  POINT button{70, 50};
  ::ClientToScreen(fixture.window, &button);
  constexpr std::chrono::milliseconds kBound{120000};  // what is timed here, not what is bounded
  int found = 0;
  ReadElementAt(button, kBound);  // the process's first call sets up COM's marshalling: not timed
  const double point = bench::MedianMs(runs, [&] { found += ReadElementAt(button, kBound).status == TovElementStatus::Found; });

  // The last element of the tree, so that the whole tree is walked.
  const core::TaskDescription task =
      core::TaskDescription::Parse(L"\"eName=Item " + std::to_wstring(kTreeElements - 3) + L"\"");
  const TovElementLimits limits{.budget = kBound};
  int treeFound = 0;
  const double tree = bench::MedianMs(3, [&] {
    treeFound += FindTaskElement(fixture.window, task, false, limits).status == TovElementStatus::Found;
  });

  TovWinUtils target;
  const double info = bench::MedianMs(runs, [&] { target.SetWnd(fixture.window); });

  bench::PrintMachine();
  std::printf("runs=%d\n", runs);
  std::printf("element_at_point_ms_median=%.3f\n", point);
  std::printf("element_at_point_found=%d\n", found);
  std::printf("tree_elements=%d\n", kTreeElements);
  std::printf("task_element_in_tree_ms_median=%.1f\n", tree);
  std::printf("task_element_found=%d\n", treeFound);
  std::printf("window_info_ms_median=%.3f\n", info);
  return 0;
}
