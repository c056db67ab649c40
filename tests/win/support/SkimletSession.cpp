#include "support/SkimletSession.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/ovApp.h"
#include "app/ovFormAbout.h"
#include "app/ovMainForm.h"
#include "app/ovStartup.h"
#include "gui/Application.h"

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
  about_->Create();
  if (show) main_->Show();
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
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (app.OnIdle) app.OnIdle();
  }
}

TempFolder::TempFolder(const std::wstring& name) {
  wchar_t base[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, base);
  for (unsigned n = ::GetTickCount();; ++n) {
    path_ = std::wstring(base) + name + L"-" + std::to_wstring(n) + L"\\";
    if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
  }
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((path_ + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring entry = data.cFileName;
      if (entry == L"." || entry == L"..") continue;
      const std::wstring full = path_ + entry;
      ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryW(full.c_str());
      } else {
        ::DeleteFileW(full.c_str());
      }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(path_.c_str());
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace fixture
