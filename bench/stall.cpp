// How long the interface of skimlet.exe keeps a message waiting while its task runner searches a big window tree.
//   bench_stall.exe <skimlet.exe beside its task file> <seconds>
// Makes a hidden top-level window "stall top" of class BenchStallNode with 5,000 children, starts the program (whose
// task file names a control one level below that window, which does not exist, so that every turn of the task walks
// the whole tree), and then, while the pointer moves over the program's window (every mouse move ends in an idle
// pass), a second thread sends WM_NULL to the program's window every 10 ms and times each round trip. Prints
// key=value lines: the number of round trips, their median, 95th percentile and longest in milliseconds, and the
// machine.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "BenchKit.h"
#include "base/Handles.h"
#include "support/Poll.h"
#include "support/Process.h"

namespace {

constexpr wchar_t kNodeClass[] = L"BenchStallNode";
constexpr int kChildren = 5000;

HWND Create(const wchar_t* title, HWND parent) {
  const DWORD style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
  return ::CreateWindowExW(0, kNodeClass, title, style, 0, 0, 10, 10, parent, nullptr, ::GetModuleHandleW(nullptr),
                           nullptr);
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_stall <skimlet.exe> <seconds>\n");
    return 2;
  }
  const std::wstring program = bench::Widen(argv[1]);
  const double seconds = std::max(1, std::atoi(argv[2]));
  if (!fixture::RegisterTestClass(kNodeClass)) return 1;
  const fixture::OwnedWindow top(Create(L"stall top", nullptr));
  for (int i = 0; i < kChildren; ++i) Create(L"", top.get());

  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    std::printf("error=cannot start the program\n");
    return 1;
  }
  const base::UniqueHandleObject process(info.hProcess);
  const base::UniqueHandleObject thread(info.hThread);
  HWND main = nullptr;
  for (const double start = bench::NowMs(); !main && bench::NowMs() - start < 30000; ::Sleep(10)) {
    main = fixture::FindProcessWindow(info.dwProcessId, L"TovFrmMain", /*visibleOnly=*/true);
  }
  if (!main) {
    std::printf("error=no window\n");
    ::TerminateProcess(process.get(), 1);
    return 1;
  }

  std::atomic<bool> running{true};
  std::vector<double> trips;
  std::thread asker([&] {
    while (running) {
      const double start = bench::NowMs();
      DWORD_PTR result = 0;
      ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
      trips.push_back(bench::NowMs() - start);
      ::Sleep(10);
    }
  });
  RECT bounds{};
  ::GetWindowRect(main, &bounds);
  const POINT a{bounds.left + 20, bounds.bottom - 10};
  const POINT b{bounds.left + 60, bounds.bottom - 10};
  bool atA = false;
  for (const double start = bench::NowMs(); bench::NowMs() - start < seconds * 1000;) {
    atA = !atA;
    fixture::MoveMouseTo(atA ? a : b);
    ::Sleep(15);
  }
  running = false;
  asker.join();
  ::TerminateProcess(process.get(), 0);
  ::WaitForSingleObject(process.get(), 5000);

  std::printf("windows=%d\ntrips=%zu\n", kChildren, trips.size());
  std::printf("median_ms=%.1f\np95_ms=%.1f\nmax_ms=%.1f\n", Percentile(trips, 0.5), Percentile(trips, 0.95),
              *std::max_element(trips.begin(), trips.end()));
  bench::PrintMachine();
  return 0;
}
