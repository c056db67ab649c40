// The task trigger against the idle runner alone: nag windows shown one after another by another process
// (nag_fixture), ten task lines loaded, the time from each window being shown to its being gone; then this
// process's CPU time while idle, with the hook installed and without it, on a quiet desktop and while another
// process keeps showing windows that no line matches. The program runs here, in its own message loop, as it
// runs in skimlet.exe (its only steady wake-up is the tray icon's one-second animation).
//   bench_trigger.exe <nag_fixture.exe> [windows, default 50] [windows for the idle runner, default 5]
//                     [idle seconds, default 10]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchKit.h"
#include "app/ovMainForm.h"
#include "core/TextLines.h"
#include "engine/ovListFile.h"
#include "gui/Application.h"
#include "support/Process.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"

namespace {

// Ten lines: the one that matches the nags sits in the middle, the others name windows that are not there.
std::vector<std::wstring> TaskLines() {
  std::vector<std::wstring> lines;
  for (int i = 0; i < 5; ++i) lines.push_back(L"\"Name=Absent " + std::to_wstring(i) + L"\",Class=SkimletNag");
  lines.push_back(L"\"Name=Bench Nag\",Class=SkimletNag");
  for (int i = 0; i < 4; ++i) {
    lines.push_back(L"Name=OK,Class=Button,\"pName=Absent dialog " + std::to_wstring(i) +
                    L"\",pClass=SkimletNagDialog,pLevels=1");
  }
  return lines;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto k = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(k, values.size() - 1)];
}

// Runs the application's loop while nag_fixture shows its windows; the visible-to-gone times of those that went.
std::vector<double> RunNags(const std::wstring& fixture, const std::wstring& specs, int waitMs, int* stayed) {
  fixture::ChildProcess process;
  if (!process.Place(fixture)) return {};
  const std::wstring results = process.ExePath() + L".txt";
  if (!process.Launch(L"\"" + results + L"\" " + std::to_wstring(waitMs) + L" " + specs)) return {};
  gui::Application::Instance().RunModalLoop([&] { return !process.Running(); });
  const std::string bytes = fixture::ReadFileBytes(results);
  std::vector<double> times;
  *stayed = 0;
  for (const std::wstring& line : core::SplitLines(std::wstring(bytes.begin(), bytes.end()))) {
    const auto gone = line.find(L"\tgone ");
    if (gone != std::wstring::npos) times.push_back(std::wcstod(line.c_str() + gone + 6, nullptr));
    if (line.find(L"\tstayed") != std::wstring::npos) ++*stayed;
  }
  return times;
}

void PrintTimes(const char* key, const std::vector<double>& times, int stayed) {
  std::printf("%s_gone=%zu\n%s_stayed=%d\n%s_ms_median=%.1f\n%s_ms_p95=%.1f\n%s_ms_max=%.1f\n", key, times.size(), key,
              stayed, key, bench::Median(times), key, Percentile(times, 0.95), key, Percentile(times, 1.0));
}

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](FILETIME t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// CPU milliseconds this process spends in its loop over `seconds`, while `churn` (if any) shows windows.
double IdleCpuMs(int seconds, const std::wstring& fixture, bool churn) {
  fixture::ChildProcess process;
  if (churn) {
    process.Place(fixture);
    process.Launch(L"\"" + process.ExePath() + L".txt\" 0 \"top:Not a task*100000\"");
  }
  const double start = ProcessCpuMs();
  const double until = bench::NowMs() + seconds * 1000.0;
  gui::Application::Instance().RunModalLoop([&] { return bench::NowMs() >= until; });
  return ProcessCpuMs() - start;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_trigger <nag_fixture.exe> [windows] [idle-runner windows] [idle seconds]\n");
    return 2;
  }
  const std::wstring fixture = bench::Widen(argv[1]);
  const int windows = argc > 2 ? std::atoi(argv[2]) : 50;
  const int idleWindows = argc > 3 ? std::atoi(argv[3]) : 5;
  const int idleSeconds = argc > 4 ? std::atoi(argv[4]) : 10;
  bench::PrintMachine();

  fixture::TempFolder folder(L"skimlet-bench-trigger");
  SaveListFile(folder.File(L"skimlet.ini"), TaskLines());  // the task file the program reads at start
  fixture::SkimletSession session(folder.File(L"skimlet.exe"));
  TovFrmMain& main = session.Main();
  std::printf("task_lines=%zu\nhook_installed=%d\n", main.TaskList().size(), main.TriggerHooked() ? 1 : 0);

  int stayed = 0;
  const std::wstring nags = L"\"top:Bench Nag*";
  PrintTimes("trigger", RunNags(fixture, nags + std::to_wstring(windows) + L"\"", 10000, &stayed), stayed);
  std::fflush(stdout);

  // A 1 s timer starts the loop's wake-ups as skimlet.exe's tray animation does; both run here.
  main.SetTriggerHooked(false);
  PrintTimes("idle_runner", RunNags(fixture, nags + std::to_wstring(idleWindows) + L"\"", 180000, &stayed), stayed);
  std::fflush(stdout);

  std::printf("idle_s=%d\n", idleSeconds);
  std::printf("cpu_ms_quiet_without_hook=%.1f\n", IdleCpuMs(idleSeconds, fixture, false));
  std::printf("cpu_ms_churn_without_hook=%.1f\n", IdleCpuMs(idleSeconds, fixture, true));
  main.SetTriggerHooked(true);
  std::printf("cpu_ms_quiet_with_hook=%.1f\n", IdleCpuMs(idleSeconds, fixture, false));
  std::printf("cpu_ms_churn_with_hook=%.1f\n", IdleCpuMs(idleSeconds, fixture, true));
  return 0;
}
