#include "app/ovLinks.h"

#include <windows.h>

#include "app/ovApp.h"
#include "base/Error.h"
#include "base/Paths.h"
#include "core/Links.h"
#include "gui/Application.h"

void OpenLink(const std::wstring& page, const std::wstring& action) {
  core::LinkContext context;
  if (ovApp) context.exeName = ovApp->ExeName;
  if (ovProject) {
    context.name = ovProject->Name;
    context.title = ovProject->Title;
    context.version = ovProject->Version;
  }
  context.fileExists = base::FileExists;
  gui::Application::Instance().ShellOpen(core::BuildLink(page, action, context));
}

void ReportException(const std::wstring& message) { OpenLink(L"", L"err&e=" + message); }
