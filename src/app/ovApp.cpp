#include "app/ovApp.h"

#include <vector>

#include "core/Paths.h"
#include "core/Product.h"
#include "gui/Application.h"

TovApp* ovApp = nullptr;
TovProject* ovProject = nullptr;

std::wstring ModuleFileName(HMODULE module) {
  // The buffer grows until the whole path fits: paths longer than MAX_PATH are common with "\\?\" prefixes.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

HICON ExecutableIcon(const wchar_t* name, int size) {
  return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_SHARED));
}

TovApp::TovApp() : TovApp(ModuleFileName(nullptr)) {}

TovApp::TovApp(std::wstring exeName) : ExeName(std::move(exeName)), ExePath(core::ExtractFilePath(ExeName)) {}

std::wstring TovApp::TaskFileName() const { return core::ChangeFileExt(ExeName, L".ini"); }
std::wstring TovApp::SetFileName() const { return core::ChangeFileExt(ExeName, L".log"); }
std::wstring TovApp::SnapshotFileName() const { return ExeName + L".tmp.bmp"; }
std::wstring TovApp::ActionLogFileName() const { return core::ChangeFileExt(ExeName, L".actions.txt"); }

TovProject::TovProject() : Name(core::product::kName), Title(core::product::kTitle), Version(core::product::kVersion) {
  gui::Application::Instance().SetTitle(Title);
}
