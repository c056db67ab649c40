#include "app/ovStartup.h"

#include "app/ovApp.h"
#include "app/ovEngineHost.h"
#include "app/ovFormAbout.h"
#include "app/ovLinks.h"
#include "app/ovMainForm.h"
#include "gui/Application.h"
#include "app/ovEmpty.h"

TovModules::TovModules(std::wstring exeName) {
  host_ = std::make_unique<TovEngineHost>();
  empty_ = std::make_unique<TovEmpty>();
  ovEmpty = empty_.get();
  app_ = exeName.empty() ? std::make_unique<TovApp>() : std::make_unique<TovApp>(std::move(exeName));
  ovApp = app_.get();
  project_ = std::make_unique<TovProject>();
  ovProject = project_.get();
  gui::Application::Instance().SetExceptionHandler(ReportException);
}

void TovModules::CreateOverlayWindow() { empty_->Create(); }

TovModules::~TovModules() {
  gui::Application::Instance().SetExceptionHandler(nullptr);
  ovProject = nullptr;
  project_.reset();
  ovApp = nullptr;
  app_.reset();
  ovEmpty = nullptr;
  empty_.reset();
  host_.reset();
}

int RunSkimlet(int showCommand) {
  // The GUI library comes first; its controls register the common-control classes they need themselves.
  gui::Application& app = gui::Application::Instance();

  // The windows outlive the modules: they are destroyed last, the about window before the main window.
  TovFrmMain mainForm;
  TovFrmAbout aboutForm;
  int exitCode = 0;
  {
    TovModules modules;
    app.SetMainForm(&mainForm);  // the main window carries the taskbar button
    ovFrmMain = &mainForm;
    // Without its main window the loop would never end: the program could not be seen, used or closed.
    if (mainForm.Create()) {
      ovFrmAbout = &aboutForm;
      mainForm.Show(showCommand);
      // The first control in tab order that takes the focus has it (the first edit box: the check boxes wait for
      // the first pick), as in a dialog.
      mainForm.FocusFirstControl();
      // The hints and the two hidden windows are made once the main window has painted: nothing shows them before
      // the user asks for them, and made earlier they only kept the main window from showing.
      app.ProcessMessages();
      mainForm.RegisterHints();
      mainForm.RegisterHotkeys();
      aboutForm.Create();
      modules.CreateOverlayWindow();
      exitCode = app.Run();
    } else {
      exitCode = 1;
    }
  }
  app.SetMainForm(nullptr);
  ovFrmAbout = nullptr;
  ovFrmMain = nullptr;
  return exitCode;
}
