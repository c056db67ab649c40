#pragma once
// The one application object of the process: the message loop with its idle and minimise events, the
// application-wide cursor with its cursor list, the exception seam and the shell seam (opening files, tray icons).
//
//   auto& app = gui::Application::Instance();
//   app.SetTitle(L"...");
//   app.SetExceptionHandler([](const std::wstring& message) { ... });
//   app.OnIdle = [&] { picker.Track(); };
//   app.SetMainForm(&mainForm);  // before mainForm.Create(): it then carries the taskbar button
//   mainForm.Create(); mainForm.Show();
//   return app.Run();
#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace gui {

class Form;
class HiddenWindow;

class Application {
 public:
  static Application& Instance();

  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  void SetTitle(std::wstring title);
  const std::wstring& Title() const { return title_; }

  // The main form ends the loop when it is destroyed and raises OnMinimize when it is minimised. Other forms are
  // owned by a hidden window of ours, so they show no taskbar button.
  void SetMainForm(Form* form);
  Form* MainForm() const { return mainForm_; }
  HWND OwnerWindow();

  // Takes and dispatches messages; each time the queue has been emptied raises OnIdle once, then waits for the
  // next message. Returns on WM_QUIT (its exit code) or when the main form has been destroyed (0).
  int Run();
  // Dispatches everything pending; no idle pass. A WM_QUIT met here is put back for the loop that owns it, and
  // the answer is false: a caller waiting in a loop of its own should return.
  bool ProcessMessages();
  // The same loop as Run, until `done` holds (checked after every message and every idle pass). Returns false
  // when WM_QUIT arrived first; the quit message is then posted again for the outer loop.
  bool RunModalLoop(const std::function<bool()>& done);

  // Sees every message before it is dispatched (keyboard shortcuts); true: handled, not dispatched.
  std::function<bool(MSG& message)> PreTranslate;

  // Raised once per emptied queue; raised when the main form is minimised.
  std::function<void()> OnIdle;
  std::function<void()> OnMinimize;
  void RaiseMinimize();

  // The cursor list: index 0 is the default (each window's own cursor); other indices are registered here. While
  // a non-default index is set, all our windows show that cursor; it is also set at once, since no WM_SETCURSOR
  // arrives while the mouse is captured. The cursors are not owned.
  void RegisterCursor(int index, HCURSOR cursor);
  void SetCursorIndex(int index);
  int CursorIndex() const { return cursorIndex_; }
  HCURSOR ApplicationCursor() const;  // nullptr while the default is set

  // Called at every Win32 boundary with the exception that escaped an event: releases the mouse capture and hands
  // the exception's message to the installed handler.
  void SetExceptionHandler(std::function<void(const std::wstring& message)> handler);
  void HandleException(std::exception_ptr error) noexcept;

  // Opens a file, link or mail address through the shell. Tests replace the opener; nullptr restores the
  // default (ShellExecuteW with the main form as owner and the default verb).
  using ShellOpener = std::function<bool(const std::wstring& target)>;
  void SetShellOpener(ShellOpener opener);
  bool ShellOpen(const std::wstring& target);
  // Opens a file that the program has just written (a snapshot) with its default action: through the same
  // replaceable opener; by default with no owner window and SW_SHOW, so the opened program is not tied to ours.
  bool ShellOpenFile(const std::wstring& path);

  // Hands a notification-area icon's message (NIM_ADD, NIM_MODIFY, NIM_DELETE) to the shell: through the same seam,
  // so that tests see what the icons tell the shell. nullptr restores the default (Shell_NotifyIconW).
  using IconNotifier = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;
  void SetIconNotifier(IconNotifier notifier);
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data);

  // The primary monitor's work area (the screen without the taskbar), in screen pixels.
  static RECT WorkArea();

  // For Form: the main form's window is being destroyed.
  void MainFormDestroyed(Form* form);

 private:
  Application() = default;
  ~Application();
  // Takes and dispatches messages with an idle pass per emptied queue until `done` holds (checked before the
  // first message, after every message and every idle pass). WM_QUIT ends it early: its exit code is returned.
  std::optional<int> Loop(const std::function<bool()>& done);
  // Takes and dispatches what is queued, until the queue is empty or `done` (when given) holds. Returns the exit
  // code of a WM_QUIT taken, which is not dispatched.
  std::optional<int> DispatchPending(const std::function<bool()>& done);
  void Dispatch(MSG& message);
  void RaiseIdle();
  static void WaitForMessage();

  std::wstring title_;
  Form* mainForm_ = nullptr;
  bool mainFormGone_ = false;
  HiddenWindow* owner_ = nullptr;
  std::map<int, HCURSOR> cursors_;
  int cursorIndex_ = 0;
  std::function<void(const std::wstring&)> exceptionHandler_;
  ShellOpener shellOpener_;
  IconNotifier iconNotifier_;
};

}  // namespace gui
