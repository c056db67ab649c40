#include "RunningCopy.h"

#include <algorithm>

#include "support/Poll.h"
#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/WindowFacts.h"

namespace e2e {
namespace {

constexpr UINT kTrayIconId = 1;  // the program's one notification-area icon
constexpr int kStartTimeoutMs = 20000;

std::wstring WithoutExtension(const std::wstring& path) {
  const auto dot = path.find_last_of(L'.');
  const auto slash = path.find_last_of(L"\\/");
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) noexcept {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

std::vector<HWND> DirectChildren(HWND parent) {
  std::vector<HWND> all;
  ::EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> direct;
  for (HWND child : all) {
    if (::GetAncestor(child, GA_PARENT) == parent) direct.push_back(child);
  }
  return direct;
}

}  // namespace

bool RunningCopy::Start(const std::vector<std::pair<std::wstring, std::string>>& companions) {
  const std::wstring built = fixture::BuiltSkimletPath();
  if (built.empty() || !process_.Place(built)) return false;
  // Without the conversion library the program falls back to the bitmap; the PNG is what a user expects.
  const std::wstring library = fixture::BuiltProductFolder() + L"skimlet.dll";
  if (!::CopyFileW(library.c_str(), Companion(L".dll").c_str(), FALSE)) return false;
  for (const auto& [extension, bytes] : companions) {
    if (!fixture::WriteFileBytes(Companion(extension), bytes)) return false;
  }
  if (!process_.Launch()) return false;
  return fixture::PollUntil(
      [&] {
        main_ = FindTopLevel(L"TovFrmMain", false);
        tray_ = FindTopLevel(L"SkimletTrayIconWindow", false);
        return (main_ && tray_ && ::IsWindowVisible(main_)) || !Running();
      },
      kStartTimeoutMs) &&
         Running() && HasTrayIcon();
}

std::wstring RunningCopy::Companion(const std::wstring& extension) const {
  if (extension.rfind(L".tmp.", 0) == 0) return ExePath() + extension;
  return WithoutExtension(ExePath()) + extension;
}

HWND RunningCopy::FindTopLevel(const wchar_t* className, bool visibleOnly) const {
  return fixture::FindProcessWindow(process_.Id(), className, visibleOnly);
}

HWND RunningCopy::OpenMenu() const { return FindTopLevel(L"#32768", true); }

bool RunningCopy::HasTrayIcon() const { return tray_ && fixture::ShellHoldsIcon(tray_, kTrayIconId); }

HWND RunningCopy::Button(const wchar_t* caption) const {
  return ::FindWindowExW(main_, nullptr, L"Button", caption);
}

HWND RunningCopy::Memo() const {
  for (HWND child : DirectChildren(main_)) {
    if (::CompareStringOrdinal(fixture::ClassOf(child).c_str(), -1, L"Edit", -1, TRUE) == CSTR_EQUAL &&
        (::GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE) != 0) {
      return child;
    }
  }
  return nullptr;
}

std::vector<HWND> RunningCopy::EditBoxes() const {
  std::vector<HWND> edits;
  for (HWND child : DirectChildren(main_)) {
    if (::CompareStringOrdinal(fixture::ClassOf(child).c_str(), -1, L"Edit", -1, TRUE) == CSTR_EQUAL &&
        (::GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE) == 0) {
      edits.push_back(child);
    }
  }
  std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    ::GetWindowRect(a, &ra);
    ::GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  return edits;
}

POINT RunningCopy::ClientPoint(int x, int y) const {
  const int dpi = static_cast<int>(::GetDpiForWindow(main_));
  POINT point{::MulDiv(x, dpi ? dpi : 96, 96), ::MulDiv(y, dpi ? dpi : 96, 96)};
  ::ClientToScreen(main_, &point);
  return point;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  text.resize(std::min<size_t>(copied, length));
  return text;
}

}  // namespace e2e
