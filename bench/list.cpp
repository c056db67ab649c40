// "skimlet list" over thousands of windows of another process, beside the bare reads of the same facts.
//   bench_list <skimlet.com> [windows] [runs]     prints key=value lines (see bench/list.sh)
//   bench_list --windows <count>                  the other process: shows the windows and answers until ended
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchKit.h"
#include "engine/ovWindowFacts.h"
#include "support/Poll.h"

namespace {

constexpr wchar_t kClass[] = L"SkimletListBench";

int ShowWindows(int count) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  ::RegisterClassW(&wc);
  std::vector<HWND> windows;
  for (int i = 0; i < count; ++i) {
    const std::wstring title = L"List bench window " + std::to_wstring(i);
    windows.push_back(::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass, title.c_str(),
                                        WS_POPUP | WS_VISIBLE, (i * 7) % 1800, (i * 3) % 1000, 8, 8, nullptr, nullptr,
                                        wc.hInstance, nullptr));
  }
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  return 0;
}

std::vector<HWND> VisibleTopLevel() {
  std::vector<HWND> windows;
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        if (::IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// What a plain program reads of each window, with nothing sent to it. Returns the characters read, so that the
// reads cannot be left out.
std::size_t BareReads() {
  std::size_t characters = 0;
  for (HWND window : VisibleTopLevel()) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
      wchar_t path[MAX_PATH];
      DWORD length = MAX_PATH;
      if (::QueryFullProcessImageNameW(process, 0, path, &length)) characters += length;
      ::CloseHandle(process);
    }
    wchar_t text[256];
    characters += static_cast<std::size_t>(::GetClassNameW(window, text, 256));
    characters += static_cast<std::size_t>(::InternalGetWindowText(window, text, 256));
    RECT rect{};
    ::GetWindowRect(window, &rect);
  }
  return characters;
}

// The reads "list" makes, in this process.
std::size_t EngineReads() {
  std::size_t characters = 0;
  for (HWND window : TopLevelWindows(false)) characters += ReadWindowFacts(window).title.size();
  return characters;
}

// skimlet.com list as a whole process, its output thrown away; the number of lines it wrote.
std::size_t RunList(const std::wstring& com, const std::wstring& output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  STARTUPINFOW si{sizeof si};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = ::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  si.hStdError = si.hStdOutput;
  std::wstring command = L"\"" + com + L"\" list";
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi)) {
    std::fprintf(stderr, "cannot start skimlet.com: %lu\n", ::GetLastError());
    return 0;
  }
  ::CloseHandle(si.hStdOutput);
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  std::size_t lines = 0;
  if (FILE* file = _wfopen(output.c_str(), L"rb")) {
    for (int c; (c = std::fgetc(file)) != EOF;) lines += c == '\n';
    std::fclose(file);
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--windows") return ShowWindows(std::atoi(argv[2]));
  if (argc < 2) return 2;
  const std::wstring com = bench::Widen(argv[1]);
  const int count = argc > 2 ? std::atoi(argv[2]) : 5000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 3;

  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --windows " + std::to_wstring(count);
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION other{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &other)) return 3;
  const auto countOfOther = [&] {
    int n = 0;
    for (HWND window : VisibleTopLevel()) {
      DWORD pid = 0;
      ::GetWindowThreadProcessId(window, &pid);
      n += pid == other.dwProcessId;
    }
    return n;
  };
  fixture::PollUntil([&] { return countOfOther() >= count; }, 600000);
  const int shown = countOfOther();

  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring output = std::wstring(temp) + L"bench-list-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
  std::size_t listed = 0;
  const double bareMs = bench::MedianMs(runs, [] { BareReads(); });
  const double engineMs = bench::MedianMs(runs, [] { EngineReads(); });
  const double listMs = bench::MedianMs(runs, [&] { listed = RunList(com, output); });
  ::DeleteFileW(output.c_str());
  ::TerminateProcess(other.hProcess, 0);
  ::CloseHandle(other.hThread);
  ::CloseHandle(other.hProcess);

  bench::PrintMachine();
  std::printf("windows=%d\nlisted=%zu\nruns=%d\n", shown, listed, runs);
  std::printf("bare_ms=%.0f\nengine_ms=%.0f\nlist_ms=%.0f\n", bareMs, engineMs, listMs);
  std::printf("engine_ratio=%.2f\nlist_ratio=%.2f\n", engineMs / bareMs, listMs / bareMs);
  return 0;
}
