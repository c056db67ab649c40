#include "gui/Window.h"

#include <commctrl.h>

#include <exception>

#include "gui/Application.h"

namespace gui {
namespace {

constexpr wchar_t kObjectProperty[] = L"Skimlet.Window";
constexpr UINT_PTR kSubclassId = 1;

// The first registration of a name wins; later calls only find the class.
bool RegisterClassOnce(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, HCURSOR cursor,
                       UINT classStyle) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = cursor;
  windowClass.lpszClassName = className;
  return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace

Window::~Window() { Detach(); }

Window* Window::FromHandle(HWND window) {
  if (!window || ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId()) return nullptr;
  return static_cast<Window*>(::GetPropW(window, kObjectProperty));
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (subclassed_) return ::DefSubclassProc(hwnd_, message, wParam, lParam);
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Window::RegisterOwnClass(const wchar_t* className, HCURSOR cursor, UINT classStyle) {
  return RegisterClassOnce(::GetModuleHandleW(nullptr), className, &Window::Trampoline,
                           cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW), classStyle);
}

HWND Window::CreateOwnWindow(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x,
                             int y, int width, int height, HWND parent, HMENU menuOrId) {
  return ::CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent, menuOrId,
                           ::GetModuleHandleW(nullptr), this);
}

bool Window::Attach(HWND window) {
  if (!window || hwnd_) return false;
  if (!::SetWindowSubclass(window, &Window::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  hwnd_ = window;
  subclassed_ = true;
  ::SetPropW(window, kObjectProperty, this);
  return true;
}

std::wstring Window::WindowText() const {
  if (!hwnd_) return {};
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Window::Detach() {
  if (!hwnd_) return;
  ::RemovePropW(hwnd_, kObjectProperty);
  if (subclassed_) {
    ::RemoveWindowSubclass(hwnd_, &Window::SubclassProc, kSubclassId);
  } else {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
  hwnd_ = nullptr;
  subclassed_ = false;
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  // While the application shows a cursor of its own, every one of our windows shows it.
  if (message == WM_SETCURSOR) {
    if (const HCURSOR cursor = Application::Instance().ApplicationCursor()) {
      ::SetCursor(cursor);
      return TRUE;
    }
  }
  if (message != WM_NCDESTROY) return HandleMessage(message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = HandleMessage(message, wParam, lParam);
  } catch (...) {
    Detach();
    throw;
  }
  Detach();
  return result;
}

LRESULT CALLBACK Window::Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<Window*>(create->lpCreateParams);
    if (self) {
      self->hwnd_ = window;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      ::SetPropW(window, kObjectProperty, self);
    }
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    Application::Instance().HandleException(std::current_exception());
  }
  // The event is abandoned; answering WM_NCCREATE with 0 would abort the creation instead.
  return message == WM_NCCREATE ? TRUE : 0;
}

LRESULT CALLBACK Window::SubclassProc(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<Window*>(data);
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    Application::Instance().HandleException(std::current_exception());
  }
  return 0;
}

bool RegisterProcedureClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
  return RegisterClassOnce(instance, className, procedure, nullptr, 0);
}

void InitCommonControlClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

}  // namespace gui
