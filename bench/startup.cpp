// Times how long programs take from process creation to their first visible top-level window.
//   bench_startup.exe <runs> <program.exe> [<program.exe> ...]
// The programs are started in turn (one untimed round first, so that no figure carries the first load from disk),
// each is watched with EnumWindows/IsWindowVisible until one of its top-level windows shows, then closed (WM_CLOSE,
// then ended if it is still running half a second later: a program may hide to the tray instead of closing).
// Prints key=value lines: per program its median and every run in milliseconds, and the machine.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "BenchKit.h"
#include "base/Handles.h"
#include "support/Process.h"

namespace {

constexpr double kTimeoutMs = 30000;

// Starts the program and returns the milliseconds until it shows a window; nothing if it never does. It starts the
// process itself rather than through the tests' ChildProcess, which waits for input idle before it returns.
std::optional<double> TimeToWindow(const std::wstring& program) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const double start = bench::NowMs();
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    return std::nullopt;
  }
  const base::UniqueHandleObject process(info.hProcess);
  const base::UniqueHandleObject thread(info.hThread);
  HWND window = nullptr;
  double elapsed = 0;
  while (!window && (elapsed = bench::NowMs() - start) < kTimeoutMs) {
    window = fixture::FindProcessWindow(info.dwProcessId, nullptr, /*visibleOnly=*/true);
    if (!window) {
      if (::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) break;  // it quit without a window
      ::Sleep(1);
    }
  }
  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.get(), 500) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 5000);
  }
  if (!window) return std::nullopt;
  return elapsed;
}

std::string BaseName(const std::wstring& path) {
  const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  std::string out;
  for (wchar_t c : name.substr(0, name.find_last_of(L'.'))) out += c < 128 ? static_cast<char>(c) : '_';
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_startup <runs> <program.exe> [<program.exe> ...]\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  std::vector<std::wstring> programs;
  for (int i = 2; i < argc; ++i) programs.push_back(bench::Widen(argv[i]));

  for (const auto& program : programs) {
    if (!TimeToWindow(program)) {
      std::printf("error=%s showed no window\n", BaseName(program).c_str());
      return 1;
    }
  }
  // Alternating, so that a slow spell of the machine falls on every program alike.
  std::vector<std::vector<double>> times(programs.size());
  for (int run = 0; run < runs; ++run) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
      const auto ms = TimeToWindow(programs[p]);
      if (!ms) {
        std::printf("error=%s showed no window\n", BaseName(programs[p]).c_str());
        return 1;
      }
      times[p].push_back(*ms);
    }
  }
  std::printf("runs=%d\n", runs);
  for (std::size_t p = 0; p < programs.size(); ++p) {
    const std::string name = BaseName(programs[p]);
    std::printf("%s_ms_median=%.1f\n%s_ms_all=", name.c_str(), bench::Median(times[p]), name.c_str());
    for (double t : times[p]) std::printf("%.1f ", t);
    std::printf("\n");
  }
  bench::PrintMachine();
  return 0;
}
