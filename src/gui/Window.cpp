#include "gui/Window.h"

#include <commctrl.h>

#include <exception>

#include "gui/Application.h"

namespace gui {
namespace {

constexpr UINT_PTR kSubclassId = 1;

// Asks a subclassed system control for the object behind it.
UINT ObjectQueryMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"Skimlet.Window.Object");
  return message;
}

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
  // The class's procedure, not the window's: comctl32 subclasses our windows too (tooltips with TTF_SUBCLASS).
  if (::GetClassLongPtrW(window, GCLP_WNDPROC) == reinterpret_cast<ULONG_PTR>(&Window::Trampoline)) {
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  // A system control of ours answers with its object from the subclass's reference data; any other window
  // answers 0 to a message it does not know.
  return reinterpret_cast<Window*>(::SendMessageW(window, ObjectQueryMessage(), 0, 0));
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (subclassed_) return ::DefSubclassProc(hwnd_, message, wParam, lParam);
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Window::RegisterOwnClass(const wchar_t* className, HCURSOR cursor, UINT classStyle) {
  return RegisterClassOnce(::GetModuleHandleW(nullptr), className, &Window::Trampoline,
                           cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW), classStyle);
}

HWND Window::CreateOwnWindow(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x, int y,
                             int width, int height, HWND parent, HMENU menuOrId) {
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
  if (message == ObjectQueryMessage()) return static_cast<LRESULT>(data);
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    Application::Instance().HandleException(std::current_exception());
  }
  return 0;
}

HiddenWindow::~HiddenWindow() {
  if (Handle()) ::DestroyWindow(Handle());
}

bool HiddenWindow::Create(const wchar_t* className, Kind kind, Handler handler, const std::wstring& caption) {
  if (Handle() || !RegisterOwnClass(className, nullptr)) return false;
  handler_ = std::move(handler);
  // A tool window would get no taskbar button even if it were shown.
  const bool topLevel = kind == Kind::TopLevel;
  return CreateOwnWindow(topLevel ? WS_EX_TOOLWINDOW : 0, className, caption.c_str(), topLevel ? WS_POPUP : 0, 0, 0, 0,
                         0, topLevel ? nullptr : HWND_MESSAGE, nullptr) != nullptr;
}

LRESULT HiddenWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (handler_) {
    if (const std::optional<LRESULT> answer = handler_(message, wParam, lParam)) return *answer;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void InitCommonControlClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

}  // namespace gui
