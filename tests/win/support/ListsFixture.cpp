#include "support/ListsFixture.h"

#include <map>

#include "app/ovMainForm.h"
#include "core/Random.h"
#include "engine/ovListFile.h"
#include "support/MainWindow.h"
#include "support/Poll.h"

namespace fixture {
namespace {

// Add a task, Pause tasks, Test tasks and a separator come before the task entries.
constexpr std::size_t kFixedTaskItems = 4;

std::vector<Posted>& ProbeLog() {
  static std::vector<Posted> log;
  return log;
}

std::map<HWND, int>& CloseRefusals() {
  static std::map<HWND, int> refusals;
  return refusals;
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    switch (message) {
      case WM_CLOSE:
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
        ProbeLog().push_back({window, message, wParam, lParam});
        break;
      case WM_NCDESTROY:
        CloseRefusals().erase(window);
        break;
      default:
        break;
    }
    if (message == WM_CLOSE) {
      auto refusal = CloseRefusals().find(window);
      if (refusal != CloseRefusals().end() && refusal->second > 0) {
        --refusal->second;
        return 0;
      }
    }
  } catch (...) {
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

ListsSession::ListsSession()
    : folder_(L"skimlet-lists"), taskFile_(folder_.File(L"skimlet.ini")), setFile_(folder_.File(L"skimlet.log")) {}

ListsSession::~ListsSession() = default;

void ListsSession::WriteTasks(const std::vector<std::wstring>& lines) const { SaveListFile(taskFile_, lines); }

TovFrmMain& ListsSession::Start() {
  session_.reset();
  session_ = std::make_unique<SkimletSession>(folder_.File(L"skimlet.exe"));
  return session_->Main();
}

TovFrmMain& ListsSession::Main() { return session_->Main(); }

std::vector<std::wstring> ListsSession::TaskEntries() {
  return MenuCaptions(Submenu(Main(), L"&Task"), kFixedTaskItems);
}

std::vector<std::wstring> ListsSession::SetEntries() { return MenuCaptions(Main().MenuHandle(L"pmSet"), 2); }

std::vector<std::wstring> ListsSession::Reports() const {
  std::vector<std::wstring> reports;
  for (const std::wstring& link : session_->opened) {
    if (link.find(L"err&e=") != std::wstring::npos) reports.push_back(link);
  }
  return reports;
}

OwnedWindow MakeProbe(const std::wstring& title, int closeRefusals) {
  RegisterTestClass(kProbeClass, &ProbeProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  HWND window = ::CreateWindowExW(0, kProbeClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (window && closeRefusals > 0) CloseRefusals()[window] = closeRefusals;
  return OwnedWindow(window);
}

HWND MakeProbeChild(const std::wstring& title, HWND parent, DWORD extraStyle) {
  RegisterTestClass(kProbeClass, &ProbeProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return ::CreateWindowExW(0, kProbeClass, title.c_str(), WS_CHILD | WS_VISIBLE | extraStyle, 10, 10, 120, 60, parent,
                           nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

std::vector<Posted> RunUntilTaskRuns(const TovFrmMain& main) {
  core::RandomGenerator predictor = main.TaskDraw();
  int passes = 1;
  while (predictor.Draw(7) != 0) ++passes;
  SkimletSession::RunIdlePasses(passes);
  PumpMessages();
  return TakeProbeLog();
}

std::vector<Posted> TakeProbeLog() {
  std::vector<Posted> log;
  log.swap(ProbeLog());
  return log;
}

}  // namespace fixture
