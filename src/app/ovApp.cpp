#include "app/ovApp.h"

#include "base/Paths.h"
#include "core/Paths.h"
#include "core/Product.h"
#include "gui/Application.h"

TovApp* ovApp = nullptr;
TovProject* ovProject = nullptr;

HICON ExecutableIcon(const wchar_t* name, int size) {
  return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_SHARED));
}

TovApp::TovApp() : TovApp(base::ModulePath(nullptr)) {}

TovApp::TovApp(std::wstring exeName) : ExeName(std::move(exeName)), ExePath(core::ExtractFilePath(ExeName)) {}

std::wstring TovApp::TaskFileName() const { return core::ChangeFileExt(ExeName, L".ini"); }
std::wstring TovApp::SetFileName() const { return core::ChangeFileExt(ExeName, L".log"); }
std::wstring TovApp::SnapshotFileName() const { return ExeName + L".tmp.bmp"; }
std::wstring TovApp::ActionLogFileName() const { return core::ChangeFileExt(ExeName, L".actions.txt"); }

TovProject::TovProject() : Name(core::product::kName), Title(core::product::kTitle), Version(core::product::kVersion) {
  gui::Application::Instance().SetTitle(Title);
}
