// Times the levelled task search on generated window trees of about 2,000 windows: the nested enumeration (every
// level enumerates all descendants of every window the level above reached) beside FindTaskWindow's single walk.
// Prints one line per tree shape and level: milliseconds of each (median of the runs) and their ratio.
//   bench_tasksearch.exe [runs, default 5]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchKit.h"
#include "engine/ovTaskSearch.h"
#include "support/NestedTaskSearch.h"

namespace {

constexpr wchar_t kNodeClass[] = L"BenchTreeNode";
constexpr wchar_t kTargetClass[] = L"BenchTreeTarget";
constexpr wchar_t kTargetTitle[] = L"Target";

HWND NestedSearch(HWND top, int32_t levels) {
  return fixture::NestedTaskSearch(top, levels, kTargetClass, kTargetTitle);
}

HWND Create(const wchar_t* cls, const wchar_t* title, HWND parent) {
  const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
  return ::CreateWindowExW(0, cls, title, style, 0, 0, 10, 10, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// fanOut[i] children under every window of level i; the wanted window is the last child of the last window of the
// deepest level, so both searches have to go through nearly the whole tree.
struct Tree {
  std::string name;
  HWND top = nullptr;
  int windows = 0;
};

Tree Build(const std::string& name, const std::vector<int>& fanOut) {
  Tree tree{name, Create(kNodeClass, L"top", nullptr), 0};
  std::vector<HWND> level{tree.top};
  for (int fan : fanOut) {
    std::vector<HWND> next;
    for (HWND parent : level) {
      for (int i = 0; i < fan; ++i) next.push_back(Create(kNodeClass, L"", parent));
    }
    tree.windows += static_cast<int>(next.size());
    level = std::move(next);
  }
  Create(kTargetClass, kTargetTitle, level.back());
  ++tree.windows;
  return tree;
}

template <typename Search>
double MedianMs(int runs, Search search, HWND& result) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = bench::NowMs();
    result = search();
    times.push_back(bench::NowMs() - start);
  }
  return bench::Median(std::move(times));
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  for (const wchar_t* cls : {kNodeClass, kTargetClass}) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    ::RegisterClassW(&wc);
  }
  // Wide: 10 x 14 x 14 (three levels). Deep: 100 chains of 20 windows each.
  std::vector<Tree> trees;
  trees.push_back(Build("wide 10x14x14", {10, 14, 14}));
  std::vector<int> chain(20, 1);
  chain[0] = 100;
  trees.push_back(Build("deep 100 chains x20", chain));

  // One untimed pass over every tree first, so that no figure carries the cost of the first visit.
  for (const Tree& tree : trees) FindTaskWindow(tree.top, 1, kTargetClass, kTargetTitle);

  std::printf("%-22s %7s %6s %12s %12s %8s\n", "tree", "windows", "levels", "nested ms", "one walk ms", "ratio");
  bool agree = true;
  for (const Tree& tree : trees) {
    for (int32_t levels = 1; levels <= 3; ++levels) {
      HWND nested = nullptr, walked = nullptr;
      const double nestedMs = MedianMs(runs, [&] { return NestedSearch(tree.top, levels); }, nested);
      const double walkMs =
          MedianMs(runs, [&] { return FindTaskWindow(tree.top, levels, kTargetClass, kTargetTitle); }, walked);
      agree = agree && nested == walked && walked != nullptr;
      std::printf("%-22s %7d %6d %12.2f %12.2f %8.1f\n", tree.name.c_str(), tree.windows, levels, nestedMs, walkMs,
                  walkMs > 0 ? nestedMs / walkMs : 0.0);
      std::fflush(stdout);
    }
  }
  for (const Tree& tree : trees) ::DestroyWindow(tree.top);
  std::printf("results %s\n", agree ? "agree" : "DIFFER");
  return agree ? 0 : 1;
}
