// Another process with one window that draws three buttons itself and describes them through its own accessible
// object, for the element tests and benchmark.
//   element_fixture <result file> [hang] [show:<ms>] [ready:<ms>] [many:<n>]
// Each default action done on a button appends "press <name>" to the result file. "hang": every call on the
// accessible object blocks for good. "show:<ms>": the window shows after that long. "ready:<ms>": the buttons are
// reported only that long after the window showed. "many:<n>": n more elements named "Item <k>" follow the buttons.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kClass[] = L"SkimletElements";
struct Button {
  const wchar_t* name;
  RECT client;
  long state;
};
constexpr Button kButtons[] = {
    {L"Later", {20, 30, 120, 70}, STATE_SYSTEM_FOCUSABLE},
    {L"Update now", {150, 30, 250, 70}, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_DEFAULT},
    {L"Close", {280, 30, 380, 70}, STATE_SYSTEM_UNAVAILABLE},
};
constexpr long kButtonCount = 3;

std::wstring resultFile;
bool hang = false;
DWORD readyAt = 0;  // tick count from which the buttons are reported
long extra = 0;     // elements after the buttons
HWND window = nullptr;

void Block() {
  for (;;) ::Sleep(1000);
}

long Count() { return ::GetTickCount() >= readyAt ? kButtonCount + extra : 0; }

std::wstring NameOf(long child) {
  if (child == CHILDID_SELF) return L"Element fixture";
  if (child <= kButtonCount) return kButtons[child - 1].name;
  return L"Item " + std::to_wstring(child - kButtonCount);
}

RECT ScreenRect(long child) {
  RECT r{};
  if (child == CHILDID_SELF) {
    ::GetClientRect(window, &r);
  } else if (child <= kButtonCount) {
    r = kButtons[child - 1].client;
  } else {
    r = {0, 100, 10, 110};
  }
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class Accessible : public IAccessible {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (hang) Block();
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives as long as the process

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    Enter();
    *parent = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    Enter();
    *count = Count();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    Enter();
    *child = nullptr;
    return S_FALSE;  // simple elements: child ids of this object
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!Valid(child)) return E_INVALIDARG;
    *name = ::SysAllocString(NameOf(child.lVal).c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!Valid(child)) return E_INVALIDARG;
    *value = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return None(text); }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!Valid(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = child.lVal == CHILDID_SELF ? ROLE_SYSTEM_CLIENT
                 : child.lVal <= kButtonCount ? ROLE_SYSTEM_PUSHBUTTON
                                              : ROLE_SYSTEM_LISTITEM;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!Valid(child)) return E_INVALIDARG;
    state->vt = VT_I4;
    state->lVal = child.lVal == CHILDID_SELF || child.lVal > kButtonCount ? 0 : kButtons[child.lVal - 1].state;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return None(text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    Enter();
    *file = nullptr;
    *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override { return None(text); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    Enter();
    focus->vt = VT_EMPTY;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    Enter();
    selection->vt = VT_EMPTY;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!Valid(child)) return E_INVALIDARG;
    const bool button = child.lVal != CHILDID_SELF && child.lVal <= kButtonCount;
    *action = button ? ::SysAllocString(L"Press") : nullptr;
    return button ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!Valid(child)) return E_INVALIDARG;
    const RECT r = ScreenRect(child.lVal);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    Enter();
    const POINT point{x, y};
    for (long k = 1; k <= Count() && k <= kButtonCount; ++k) {
      const RECT r = ScreenRect(k);
      if (::PtInRect(&r, point)) {
        child->vt = VT_I4;
        child->lVal = k;
        return S_OK;
      }
    }
    const RECT client = ScreenRect(CHILDID_SELF);
    if (!::PtInRect(&client, point)) {
      child->vt = VT_EMPTY;
      return S_FALSE;
    }
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!Valid(child) || child.lVal == CHILDID_SELF || child.lVal > kButtonCount) return DISP_E_MEMBERNOTFOUND;
    if (FILE* file = _wfopen(resultFile.c_str(), L"a")) {
      std::fwprintf(file, L"press %ls\n", kButtons[child.lVal - 1].name);
      std::fclose(file);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  static void Enter() {
    if (hang) Block();
  }
  static bool Valid(const VARIANT& child) {
    Enter();
    return child.vt == VT_I4 && child.lVal >= 0 && child.lVal <= Count();
  }
  static HRESULT None(BSTR* text) {
    Enter();
    *text = nullptr;
    return S_FALSE;
  }
  ULONG refs_ = 1;
};

Accessible accessible;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETOBJECT:
      if (static_cast<long>(lParam) == OBJID_CLIENT) return ::LresultFromObject(__uuidof(IAccessible), wParam, &accessible);
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(hwnd, &paint);
      for (const Button& button : kButtons) {
        RECT r = button.client;
        ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawTextW(dc, button.name, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      }
      ::EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  resultFile = argv[1];
  DWORD showAfter = 0;
  DWORD readyAfter = 0;
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"hang") hang = true;
    if (arg.rfind(L"show:", 0) == 0) showAfter = static_cast<DWORD>(std::wcstoul(arg.c_str() + 5, nullptr, 10));
    if (arg.rfind(L"ready:", 0) == 0) readyAfter = static_cast<DWORD>(std::wcstoul(arg.c_str() + 6, nullptr, 10));
    if (arg.rfind(L"many:", 0) == 0) extra = std::wcstol(arg.c_str() + 5, nullptr, 10);
  }
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  ::RegisterClassW(&wc);
  window = ::CreateWindowExW(WS_EX_TOPMOST, kClass, L"Element fixture", WS_POPUP | WS_BORDER, 300, 420, 400, 100,
                             nullptr, nullptr, instance, nullptr);
  ::Sleep(showAfter);
  readyAt = ::GetTickCount() + readyAfter;
  ::ShowWindow(window, SW_SHOWNOACTIVATE);

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  ::CoUninitialize();
  return 0;
}
