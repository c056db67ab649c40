#pragma once
// The base of every window we write a class for: forms, controls, and the hidden windows that receive messages for
// objects which are not windows themselves (the tray icon, the balloon hints, the application's owner window).
// Messages reach the object through one of two entry points: the window procedure of our own window classes (which
// stores `this` at WM_NCCREATE in the window's user data), or a subclass procedure on the system's control classes
// (button, edit, track bar; `this` is the subclass's reference data). Each place holds `this` once. Both entry points
// catch every exception and hand it to Application::HandleException, so none crosses a Win32 callback.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace gui {

// Registers the common-control classes that our wrappers create (track bar, tooltip); once per process.
void InitCommonControlClasses();

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }

  // The object behind one of our windows on this thread; nullptr for any other window.
  static Window* FromHandle(HWND window);

 protected:
  // Override to handle messages; pass what you do not handle to Window::HandleMessage (the default handling).
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Registers one of our window classes (once per name); its procedure is the shared trampoline.
  static bool RegisterOwnClass(const wchar_t* className, HCURSOR cursor, UINT classStyle = 0);
  // Creates a window of a class from RegisterOwnClass, bound to this object from its first message.
  HWND CreateOwnWindow(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x, int y,
                       int width, int height, HWND parent, HMENU menuOrId);
  // Binds an existing window of a system class to this object through a subclass procedure.
  bool Attach(HWND window);
  // The window's text (caption); empty without a window.
  std::wstring WindowText() const;

 private:
  static LRESULT CALLBACK Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data) noexcept;
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void Detach();

  HWND hwnd_ = nullptr;
  bool subclassed_ = false;
};

// A window of ours that is never shown and hands its messages to a function: the receiver of an object that needs
// window messages (notifications, timers, broadcasts) but is no window itself. Destroyed with the object.
//
//   gui::HiddenWindow receiver;
//   receiver.Create(L"SkimletTrayIconWindow", gui::HiddenWindow::Kind::TopLevel,
//                   [this](UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> { ... });
class HiddenWindow : public Window {
 public:
  // A message-only window hears what is sent to it; only a (hidden) top-level window hears broadcasts.
  enum class Kind { MessageOnly, TopLevel };
  // Answers a message, or nullopt to leave it to the default handling.
  using Handler = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

  HiddenWindow() = default;
  ~HiddenWindow() override;

  bool Create(const wchar_t* className, Kind kind, Handler handler, const std::wstring& caption = {});

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  Handler handler_;
};

}  // namespace gui
