#include "RunningCopy.h"

#include <shellapi.h>

#include <algorithm>

#include "support/Poll.h"
#include "support/Process.h"

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

std::wstring FileNameOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
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

RunningCopy::~RunningCopy() {
  if (!process_.hProcess) return;
  if (Running()) {
    ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, 5000);
  }
  ::CloseHandle(process_.hThread);
  ::CloseHandle(process_.hProcess);
}

bool RunningCopy::Start(const std::vector<std::pair<std::wstring, std::string>>& companions) {
  const std::wstring built = fixture::BuiltSkimletPath();
  if (built.empty() || process_.hProcess) return false;
  folder_.emplace(L"skimlet-e2e");
  exePath_ = folder_->File(FileNameOf(built));
  if (!::CopyFileW(built.c_str(), exePath_.c_str(), FALSE)) return false;
  // Without the conversion library the program falls back to the bitmap; the PNG is what a user expects.
  const std::wstring library = WithoutExtension(built) + L".dll";
  if (!::CopyFileW(library.c_str(), Companion(L".dll").c_str(), FALSE)) return false;
  for (const auto& [extension, bytes] : companions) {
    fixture::WriteFileBytes(Companion(extension), bytes);
    if (fixture::ReadFileBytes(Companion(extension)) != bytes) return false;
  }

  std::wstring commandLine = L"\"" + exePath_ + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(exePath_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_->Path().c_str(), &startup, &process_)) {
    process_ = {};
    return false;
  }
  ::WaitForInputIdle(process_.hProcess, kStartTimeoutMs);
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
  if (extension.rfind(L".tmp.", 0) == 0) return exePath_ + extension;
  return WithoutExtension(exePath_) + extension;
}

bool RunningCopy::Running() const {
  return process_.hProcess && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> RunningCopy::WaitForExit(int timeoutMs) const {
  if (!process_.hProcess) return std::nullopt;
  if (!fixture::PollUntil([&] { return !Running(); }, timeoutMs)) return std::nullopt;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

HWND RunningCopy::FindTopLevel(const wchar_t* className, bool visibleOnly) const {
  return fixture::FindProcessWindow(process_.dwProcessId, className, visibleOnly);
}

HWND RunningCopy::OpenMenu() const { return FindTopLevel(L"#32768", true); }

bool RunningCopy::HasTrayIcon() const {
  // Modifying an icon that the shell does not hold fails: the way to ask whether it is there.
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = tray_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_TIP;
  ::lstrcpynW(data.szTip, L"Skimlet", 64);
  return tray_ && ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

HWND RunningCopy::Button(const wchar_t* caption) const {
  return ::FindWindowExW(main_, nullptr, L"Button", caption);
}

HWND RunningCopy::Memo() const {
  for (HWND child : DirectChildren(main_)) {
    if (::CompareStringOrdinal(ClassOf(child).c_str(), -1, L"Edit", -1, TRUE) == CSTR_EQUAL &&
        (::GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE) != 0) {
      return child;
    }
  }
  return nullptr;
}

std::vector<HWND> RunningCopy::EditBoxes() const {
  std::vector<HWND> edits;
  for (HWND child : DirectChildren(main_)) {
    if (::CompareStringOrdinal(ClassOf(child).c_str(), -1, L"Edit", -1, TRUE) == CSTR_EQUAL &&
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

std::vector<std::wstring> LinesOf(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (;;) {
    const auto end = text.find(L"\r\n", start);
    lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) return lines;
    start = end + 2;
  }
}

std::optional<SIZE> PngSize(const std::string& bytes) {
  static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() < 24 || !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin(),
                                       [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); }) ||
      bytes.compare(12, 4, "IHDR") != 0) {
    return std::nullopt;
  }
  const auto big = [&](size_t at) {
    LONG value = 0;
    for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  return SIZE{big(16), big(20)};
}

}  // namespace e2e
