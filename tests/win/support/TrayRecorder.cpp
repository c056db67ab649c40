#include "support/TrayRecorder.h"

#include "gui/Application.h"
#include "gui/TrayIcon.h"

namespace fixture {

TrayRecorder::TrayRecorder() {
  gui::Application::Instance().SetIconNotifier([this](DWORD message, NOTIFYICONDATAW& data) {
    if (!::Shell_NotifyIconW(message, &data)) return false;
    calls_.push_back({message, data});
    return true;
  });
}

TrayRecorder::~TrayRecorder() { gui::Application::Instance().SetIconNotifier(nullptr); }

std::vector<std::wstring> TrayRecorder::Balloons() const {
  std::vector<std::wstring> balloons;
  for (const Call& call : calls_) {
    if (call.data.uFlags & NIF_INFO) balloons.emplace_back(call.data.szInfo);
  }
  return balloons;
}

std::vector<HICON> TrayRecorder::IconsShown() const {
  std::vector<HICON> icons;
  for (const Call& call : calls_) {
    if (call.message != NIM_DELETE && (call.data.uFlags & NIF_ICON)) icons.push_back(call.data.hIcon);
  }
  return icons;
}

bool TrayRecorder::Shown() const {
  bool shown = false;
  for (const Call& call : calls_) {
    if (call.message != NIM_MODIFY) shown = call.message == NIM_ADD;
    if (call.message == NIM_MODIFY && (call.data.uFlags & NIF_STATE) && (call.data.dwStateMask & NIS_HIDDEN)) {
      shown = (call.data.dwState & NIS_HIDDEN) == 0;
    }
  }
  return shown;
}

std::wstring TrayRecorder::Tip() const {
  std::wstring tip;
  for (const Call& call : calls_) {
    if (call.data.uFlags & NIF_TIP) tip = call.data.szTip;
  }
  return tip;
}

void TrayRecorder::Click() const {
  if (calls_.empty()) return;
  for (const UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP}) {
    ::SendMessageW(calls_.back().data.hWnd, gui::TrayIcon::kCallbackMessage, gui::TrayIcon::kIconId, mouse);
  }
}

}  // namespace fixture
