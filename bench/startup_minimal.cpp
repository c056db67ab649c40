// The smallest Win32 window program: one registered class, one shown window, gone when the window is closed. Like
// any program with standard controls it links comctl32 (and so loads it at start). bench_startup and
// bench_startup_outside time it beside skimlet.exe, so that the cost of starting a process under the same system is
// known.
//
// Built a second time as bench_minimal_controls (BENCH_WITH_CONTROLS): the same program with what Skimlet's window
// holds before it shows, the same kinds of controls in the same places, its two fonts, a hidden window for the tray
// icon and the tray icon itself. Timed beside both, it tells the cost of the window's contents under the same system
// from the cost of Skimlet's own work.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

namespace {

LRESULT CALLBACK MinimalProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

#ifdef BENCH_WITH_CONTROLS
constexpr bool kWithControls = true;

struct Child {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  RECT place;  // left, top, width, height
  bool fixedPitch;
};

// Skimlet's controls: the picker's panel and picture, three check boxes, two picture buttons, the Menu button, four
// edit boxes, the Set button, the track bar and the memo.
constexpr Child kChildren[] = {
    {L"STATIC", L"", SS_NOTIFY, {8, 8, 32, 32}, false},
    {L"STATIC", L"", SS_ICON, {8, 8, 32, 32}, false},
    {L"BUTTON", L"&Enable", BS_AUTOCHECKBOX, {48, 8, 60, 14}, false},
    {L"BUTTON", L"&Visible", BS_AUTOCHECKBOX, {107, 8, 60, 14}, false},
    {L"BUTTON", L"&On top", BS_AUTOCHECKBOX, {166, 8, 60, 14}, false},
    {L"BUTTON", L"", BS_OWNERDRAW, {230, 6, 16, 16}, false},
    {L"BUTTON", L"", BS_OWNERDRAW, {254, 6, 16, 16}, false},
    {L"BUTTON", L"&Menu", BS_OWNERDRAW, {270, 2, 40, 20}, false},
    {L"EDIT", L"0", ES_CENTER | WS_BORDER, {48, 24, 32, 20}, false},
    {L"EDIT", L"0", ES_CENTER | WS_BORDER, {81, 24, 32, 20}, false},
    {L"EDIT", L"0", ES_CENTER | WS_BORDER, {114, 24, 32, 20}, false},
    {L"EDIT", L"0", ES_CENTER | WS_BORDER, {147, 24, 32, 20}, false},
    {L"BUTTON", L"&Set", BS_PUSHBUTTON, {180, 24, 40, 20}, false},
    {TRACKBAR_CLASSW, L"", TBS_HORZ, {8, 48, 300, 24}, false},
    {L"EDIT", L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER, {8, 76, 300, 180}, true},
};

// The window's contents and the tray icon (whose hidden window comes first, as in Skimlet); false when a window
// could not be made.
bool AddContents(HWND window, HINSTANCE instance, const wchar_t* className, NOTIFYICONDATAW& icon) {
  const HWND trayWindow = ::CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!trayWindow) return false;
  const HFONT font = ::CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  const HFONT fixed = ::CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Consolas");
  for (const Child& c : kChildren) {
    const HWND child = ::CreateWindowExW(0, c.className, c.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | c.style,
                                         c.place.left, c.place.top, c.place.right, c.place.bottom, window, nullptr,
                                         instance, nullptr);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(c.fixedPitch ? fixed : font), FALSE);
  }
  icon.cbSize = sizeof icon;
  icon.hWnd = trayWindow;
  icon.uID = 1;
  icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  ::lstrcpynW(icon.szTip, L"Minimal", 64);
  ::Shell_NotifyIconW(NIM_ADD, &icon);
  return true;  // the fonts live as long as the process
}
#else
// The smallest program: nothing more in its window, and nothing of the shell or the fonts linked in.
constexpr bool kWithControls = false;
bool AddContents(HWND, HINSTANCE, const wchar_t*, NOTIFYICONDATAW&) { return true; }
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | (kWithControls ? ICC_BAR_CLASSES : 0)};
  ::InitCommonControlsEx(&controls);
  WNDCLASSW wc{};
  wc.lpfnWndProc = MinimalProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"BenchMinimal";
  if (!::RegisterClassW(&wc)) return 1;
  const HWND window =
      kWithControls
          ? ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName, L"Minimal with controls",
                              WS_OVERLAPPEDWINDOW, 100, 100, 330, 300, nullptr, nullptr, instance, nullptr)
          : ::CreateWindowExW(0, wc.lpszClassName, L"Minimal", WS_OVERLAPPEDWINDOW, 100, 100, 320, 240, nullptr,
                              nullptr, instance, nullptr);
  if (!window) return 1;
  NOTIFYICONDATAW icon{};
  if (kWithControls && !AddContents(window, instance, wc.lpszClassName, icon)) return 1;
  ::ShowWindow(window, showCommand);
  ::UpdateWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
#ifdef BENCH_WITH_CONTROLS
  ::Shell_NotifyIconW(NIM_DELETE, &icon);
#endif
  return static_cast<int>(message.wParam);
}
