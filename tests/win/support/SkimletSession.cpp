#include "support/SkimletSession.h"

#include "app/ovApp.h"
#include "app/ovFormAbout.h"
#include "app/ovMainForm.h"
#include "app/ovStartup.h"
#include "gui/Application.h"
#include "support/Poll.h"

namespace fixture {

SkimletSession::SkimletSession(std::wstring exeName, bool show) {
  auto& app = gui::Application::Instance();
  modules_ = std::make_unique<TovModules>(std::move(exeName));
  app.SetShellOpener([this](const std::wstring& target) {
    opened.push_back(target);
    return true;
  });

  main_ = std::make_unique<TovFrmMain>();
  app.SetMainForm(main_.get());
  ovFrmMain = main_.get();
  main_->Create();
  about_ = std::make_unique<TovFrmAbout>();
  ovFrmAbout = about_.get();
  if (show) main_->Show();
  main_->RegisterHints();
  main_->RegisterHotkeys();
  about_->Create();
  modules_->CreateOverlayWindow();
}

SkimletSession::~SkimletSession() {
  auto& app = gui::Application::Instance();
  ovFrmAbout = nullptr;
  about_.reset();
  ovFrmMain = nullptr;
  app.SetMainForm(nullptr);
  main_.reset();
  app.OnIdle = nullptr;
  app.OnMinimize = nullptr;
  app.SetShellOpener(nullptr);
  modules_.reset();
}

bool SkimletSession::RunLoopUntil(const std::function<bool()>& done, int timeoutMs) {
  // A thread timer wakes the loop regularly, so the deadline is noticed even when nothing else happens.
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, nullptr);
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  bool timedOut = false;
  gui::Application::Instance().RunModalLoop([&] {
    if (done()) return true;
    timedOut = ::GetTickCount64() >= deadline;
    return timedOut;
  });
  ::KillTimer(nullptr, timer);
  return !timedOut || done();
}

void SkimletSession::RunIdlePasses(int passes) {
  auto& app = gui::Application::Instance();
  for (int i = 0; i < passes; ++i) {
    // Each pass follows a message, as in the program's loop: a pass that only the task trigger brought about is
    // no turn of the task runner's.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
    app.ProcessMessages();
    if (app.OnIdle) app.OnIdle();
  }
}

}  // namespace fixture
