#include "app/ovStartup.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/ovApp.h"
#include "app/ovFormAbout.h"
#include "app/ovLinks.h"
#include "app/ovMainForm.h"
#include "gui/Application.h"
#include "snap/ovEmpty.h"

namespace {

// The process-wide objects, created before any window of ours and released before the windows go.
class Modules {
 public:
  Modules() {
    empty_ = std::make_unique<TovEmpty>();
    empty_->Create();
    ovEmpty = empty_.get();
    app_ = std::make_unique<TovApp>();
    ovApp = app_.get();
    project_ = std::make_unique<TovProject>();
    ovProject = project_.get();
    gui::Application::Instance().SetExceptionHandler(ReportException);
  }
  Modules(const Modules&) = delete;
  Modules& operator=(const Modules&) = delete;
  ~Modules() {
    ovProject = nullptr;
    project_.reset();
    ovApp = nullptr;
    app_.reset();
    ovEmpty = nullptr;
    empty_.reset();
  }

 private:
  std::unique_ptr<TovEmpty> empty_;
  std::unique_ptr<TovApp> app_;
  std::unique_ptr<TovProject> project_;
};

void InitializeApplication() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
}

}  // namespace

int RunSkimlet(int showCommand) {
  gui::Application& app = gui::Application::Instance();  // the GUI library comes first
  InitializeApplication();

  // The windows outlive the modules: they are destroyed last, the about window before the main window.
  TovFrmMain mainForm;
  TovFrmAbout aboutForm;
  int exitCode = 0;
  {
    Modules modules;
    app.SetMainForm(&mainForm);  // the main window carries the taskbar button
    ovFrmMain = &mainForm;
    mainForm.Create();
    ovFrmAbout = &aboutForm;
    aboutForm.Create();
    mainForm.Show(showCommand);
    exitCode = app.Run();
  }
  ovFrmAbout = nullptr;
  ovFrmMain = nullptr;
  return exitCode;
}
