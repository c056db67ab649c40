// Another process that shows nagging windows one after another, for the task trigger's tests and benchmark.
//   nag_fixture <result file> <wait ms> <spec>...
// A spec is "top:<title>" (a top-level window of class SkimletNag), "dialog:<title>" (class SkimletNagDialog,
// made hidden, titled after its controls, then shown; its button "OK" lies in a panel, so a task reaches it with
// pLevels=1, and a click on it ends the dialog); "+" joins windows shown together; "*N" at the end of a spec shows
// it N times in turn. Two kinds become matchable only 300 ms after they show: "late:<title>" (a dialog shown with its
// title, its panel and button made then) and "renamed:<title>" (a SkimletNag window shown as "Not yet", then given
// its title). A title starting with "Stubborn" refuses to close. Each window is waited for until it is gone or
// <wait ms> have passed; then one line is appended to the result file:
// "<title>\t0x<window>\t0x<button or window>\tgone <ms>" (from becoming matchable, that is from being shown for
// the other kinds, to being gone) or "...\tstayed".
// "done" ends the file.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

LRESULT CALLBACK NagProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    wchar_t title[16] = {};
    ::InternalGetWindowText(window, title, 16);
    if (std::wcsncmp(title, L"Stubborn", 8) == 0) return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    ::DestroyWindow(::GetAncestor(window, GA_ROOT));
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void Register(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = procedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  ::RegisterClassW(&wc);
}

double NowMs() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Pumps messages until the window is gone or the time is up; true when it went.
bool WaitGone(HWND window, double untilMs) {
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    if (!::IsWindow(window)) return true;
    const double left = untilMs - NowMs();
    if (left <= 0) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
  }
}

constexpr DWORD kMatchableAfterMs = 300;

struct Nag {
  std::wstring kind;
  std::wstring title;
  HWND top = nullptr;
  HWND target = nullptr;  // the button of a dialog, else the window itself
};

Nag Make(const std::wstring& kind, const std::wstring& title) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  Nag nag{kind, title};
  if (kind == L"late") {
    nag.top = ::CreateWindowExW(0, L"SkimletNagDialog", title.c_str(), style, 200, 200, 240, 140, nullptr, nullptr,
                                instance, nullptr);
  } else if (kind == L"renamed") {
    nag.top =
        ::CreateWindowExW(0, L"SkimletNag", L"Not yet", style, 480, 240, 240, 140, nullptr, nullptr, instance, nullptr);
    nag.target = nag.top;
  } else if (kind == L"dialog") {
    nag.top =
        ::CreateWindowExW(0, L"SkimletNagDialog", L"", style, 200, 200, 240, 140, nullptr, nullptr, instance, nullptr);
    const HWND panel = ::CreateWindowExW(0, L"SkimletNagPanel", L"", WS_CHILD | WS_VISIBLE, 0, 0, 220, 90, nag.top,
                                         nullptr, instance, nullptr);
    nag.target = ::CreateWindowExW(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 70, 30, 80, 26, panel,
                                   nullptr, instance, nullptr);
    ::SetWindowTextW(nag.top, title.c_str());  // as dialogs often do, once their controls exist
  } else {
    nag.top = ::CreateWindowExW(0, L"SkimletNag", title.c_str(), style, 480, 240, 240, 140, nullptr, nullptr, instance,
                                nullptr);
    nag.target = nag.top;
  }
  return nag;
}

// What "late" and "renamed" windows lack until kMatchableAfterMs after they show.
void MakeMatchable(Nag& nag) {
  if (nag.kind == L"renamed") {
    ::SetWindowTextW(nag.top, nag.title.c_str());
  } else if (nag.kind == L"late") {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const HWND panel = ::CreateWindowExW(0, L"SkimletNagPanel", L"", WS_CHILD | WS_VISIBLE, 0, 0, 220, 90, nag.top,
                                         nullptr, instance, nullptr);
    nag.target = ::CreateWindowExW(0, L"Button", L"Later", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 70, 30, 80, 26, panel,
                                   nullptr, instance, nullptr);
  }
}

unsigned Low32(HWND window) { return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)); }

// Shows the windows of one spec ("+" joins windows shown together) and reports each.
void ShowTogether(FILE* result, const std::wstring& spec, DWORD waitMs) {
  std::vector<Nag> nags;
  for (std::size_t start = 0; start <= spec.size();) {
    std::size_t end = spec.find(L'+', start);
    if (end == std::wstring::npos) end = spec.size();
    const std::wstring part = spec.substr(start, end - start);
    const auto colon = part.find(L':');
    if (colon != std::wstring::npos) nags.push_back(Make(part.substr(0, colon), part.substr(colon + 1)));
    start = end + 1;
  }
  for (const Nag& nag : nags) ::ShowWindow(nag.top, SW_SHOWNOACTIVATE);
  double shown = NowMs();
  if (std::any_of(nags.begin(), nags.end(), [](const Nag& n) { return n.kind == L"late" || n.kind == L"renamed"; })) {
    WaitGone(nullptr, shown + kMatchableAfterMs);
    for (Nag& nag : nags) MakeMatchable(nag);
    shown = NowMs();
  }
  for (const Nag& nag : nags) {
    const bool gone = WaitGone(nag.top, shown + waitMs);
    const double took = NowMs() - shown;
    std::fwprintf(result, L"%ls\t0x%08X\t0x%08X\t", nag.title.c_str(), Low32(nag.top), Low32(nag.target));
    if (gone) {
      std::fwprintf(result, L"gone %.3f\n", took);
    } else {
      std::fwprintf(result, L"stayed\n");
    }
  }
  for (const Nag& nag : nags) ::DestroyWindow(nag.top);
  std::fflush(result);
  WaitGone(nullptr, NowMs() + 30);  // a short gap between windows
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!args || count < 3) return 2;
  Register(L"SkimletNag", NagProc);
  Register(L"SkimletNagDialog", NagProc);
  Register(L"SkimletNagPanel", PanelProc);
  FILE* result = _wfopen(args[1], L"w");
  if (!result) return 3;
  const DWORD waitMs = static_cast<DWORD>(_wtoi(args[2]));
  for (int i = 3; i < count; ++i) {
    std::wstring spec = args[i];
    int times = 1;
    if (const auto star = spec.rfind(L'*'); star != std::wstring::npos) {
      times = _wtoi(spec.c_str() + star + 1);
      spec.resize(star);
    }
    for (int k = 0; k < times; ++k) ShowTogether(result, spec, waitMs);
  }
  std::fwprintf(result, L"done\n");
  std::fclose(result);
  ::LocalFree(args);
  return 0;
}
