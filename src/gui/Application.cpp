#include "gui/Application.h"

#include <shellapi.h>

#include "base/Error.h"
#include "gui/Form.h"
#include "gui/Window.h"

namespace gui {
namespace {

constexpr wchar_t kOwnerClass[] = L"SkimletApplication";

}  // namespace

Application& Application::Instance() {
  static Application instance;
  return instance;
}

// The hidden owner window is left to the system, which destroys a thread's windows when it ends: calling
// window functions from static destruction at process exit is not safe. Its object is left with it.
Application::~Application() = default;

void Application::SetTitle(std::wstring title) {
  title_ = std::move(title);
  if (owner_ && owner_->Handle()) ::SetWindowTextW(owner_->Handle(), title_.c_str());
}

void Application::SetMainForm(Form* form) {
  mainForm_ = form;
  mainFormGone_ = false;
  // A main form created before it was named still loses its owner, so it carries its own taskbar button.
  if (form && form->Handle()) {
    ::SetWindowLongPtrW(form->Handle(), GWLP_HWNDPARENT, 0);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE);
    ::SetWindowLongPtrW(form->Handle(), GWL_EXSTYLE, exStyle | WS_EX_APPWINDOW);
  }
}

HWND Application::OwnerWindow() {
  if (owner_ && owner_->Handle()) return owner_->Handle();
  if (!owner_) owner_ = new HiddenWindow();  // never deleted: see ~Application
  owner_->Create(kOwnerClass, HiddenWindow::Kind::TopLevel, nullptr, title_);
  return owner_->Handle();
}

void Application::MainFormDestroyed(Form* form) {
  if (form == mainForm_) mainFormGone_ = true;
}

void Application::Dispatch(MSG& message) {
  if (PreTranslate) {
    try {
      if (PreTranslate(message)) return;
    } catch (...) {
      HandleException(std::current_exception());
      return;
    }
  }
  // Tab, arrow keys and mnemonics move between the controls of the active form, as in a dialog.
  const HWND active = ::GetActiveWindow();
  if (active && dynamic_cast<Form*>(Window::FromHandle(active)) && ::IsDialogMessageW(active, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

void Application::RaiseIdle() {
  if (!OnIdle) return;
  try {
    OnIdle();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void Application::WaitForMessage() {
  // Unlike WaitMessage, this also returns for messages that a handler has already looked at without removing.
  ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

std::optional<int> Application::DispatchPending(const std::function<bool()>& done) {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    Dispatch(message);
    if (done && done()) break;
  }
  return std::nullopt;
}

std::optional<int> Application::Loop(const std::function<bool()>& done) {
  while (!done()) {
    if (const std::optional<int> quit = DispatchPending(done)) return quit;
    if (done()) return std::nullopt;
    RaiseIdle();
    if (done()) return std::nullopt;
    WaitForMessage();
  }
  return std::nullopt;
}

int Application::Run() {
  return Loop([this] { return mainFormGone_; }).value_or(0);
}

bool Application::ProcessMessages() {
  const std::optional<int> quit = DispatchPending(nullptr);
  if (!quit) return true;
  ::PostQuitMessage(*quit);  // for the loop that owns it
  return false;
}

bool Application::RunModalLoop(const std::function<bool()>& done) {
  const std::optional<int> quit = Loop(done);
  if (!quit) return true;
  ::PostQuitMessage(*quit);  // for the loop that owns it
  return false;
}

void Application::RaiseMinimize() {
  if (OnMinimize) OnMinimize();
}

void Application::RegisterCursor(int index, HCURSOR cursor) {
  cursors_[index] = cursor;
  if (index == cursorIndex_ && index != 0) ::SetCursor(cursor);
}

HCURSOR Application::ApplicationCursor() const {
  if (cursorIndex_ == 0) return nullptr;
  const auto found = cursors_.find(cursorIndex_);
  return found == cursors_.end() ? nullptr : found->second;
}

void Application::SetCursorIndex(int index) {
  cursorIndex_ = index;
  const HCURSOR cursor = ApplicationCursor();
  ::SetCursor(cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW));
}

void Application::SetExceptionHandler(std::function<void(const std::wstring&)> handler) {
  exceptionHandler_ = std::move(handler);
}

void Application::HandleException(std::exception_ptr error) noexcept {
  if (!error) return;
  try {
    ::ReleaseCapture();
    const std::wstring message = base::ExceptionMessage(error);
    if (exceptionHandler_) {
      exceptionHandler_(message);
    } else {
      ::OutputDebugStringW(message.c_str());
    }
  } catch (...) {
    // A report that fails in turn is dropped: the loop must go on.
  }
}

void Application::SetShellOpener(ShellOpener opener) { shellOpener_ = std::move(opener); }

void Application::SetIconNotifier(IconNotifier notifier) { iconNotifier_ = std::move(notifier); }

bool Application::NotifyIcon(DWORD message, NOTIFYICONDATAW& data) {
  if (iconNotifier_) return iconNotifier_(message, data);
  return ::Shell_NotifyIconW(message, &data) != FALSE;
}

bool Application::ShellOpen(const std::wstring& target) {
  if (shellOpener_) return shellOpener_(target);
  const HWND owner = mainForm_ ? mainForm_->Handle() : nullptr;
  const auto result =
      reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

bool Application::ShellOpenFile(const std::wstring& path) {
  if (shellOpener_) return shellOpener_(path);
  const auto result =
      reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOW));
  return result > 32;
}

RECT Application::WorkArea() {
  RECT area{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
    area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  return area;
}

}  // namespace gui
