// "snap": the screen, a region or a window's rectangle captured as the tool window captures it, and converted by
// the same library. Nothing of ours is shown or hidden, and no viewer is opened.
#include <windows.h>

#include <string>

#include "console/Commands.h"
#include "core/ConsoleFormat.h"
#include "core/Paths.h"
#include "core/Unicode.h"
#include "engine/ovWinSnap.h"
#include "engine/ovWindowFacts.h"
#include "gui/Error.h"

namespace {

constexpr DWORD kMaxPathLength = 32768;

// The full path of a name relative to the current folder; the name itself when the system cannot make one.
std::wstring FullPath(const std::wstring& name) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return name;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    if (length > kMaxPathLength) return name;
    full.resize(length);
  }
}

bool PathTaken(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

core::Rect VirtualScreen() {
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

core::LocalTime Now() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::wstring Reason(DWORD error) { return gui::SystemErrorText(error); }

}  // namespace

int RunSnap(Console& console, const core::Command& command) {
  core::Rect area;
  if (command.screen) {
    area = VirtualScreen();
  } else if (command.region) {
    area = *command.region;
  } else {
    const std::vector<HWND> matches = MatchingWindows(command.criteria);
    if (matches.empty()) return console.Fail(core::kExitNoWindow, kNoWindowMessage);
    area = ReadWindowFacts(matches.front()).rect;
  }
  if (area.Width() <= 0 || area.Height() <= 0)
    return console.Fail(core::kExitActionFailed, L"nothing to snap: the area is empty");

  // Without the library the picture stays a bitmap, and its file is named for what it holds.
  const std::wstring library = core::ChangeFileExt(console.exeName, L".dll");
  const bool png = !command.bmp && gui::FileExists(library);
  if (!command.bmp && !png) console.err.WriteLine(L"skimlet: no PNG library (" + library + L"): saving a bitmap");

  std::wstring path;
  if (command.outFile) {
    path = FullPath(*command.outFile);
    if (!png && !command.bmp) path = core::ChangeFileExt(path, L".bmp");
  } else {
    const auto name =
        core::PickSnapshotFileName(Now(), !png, [](const std::wstring& n) { return PathTaken(FullPath(n)); });
    if (!name) return console.Fail(core::kExitActionFailed, L"no free snapshot file name in the current folder");
    path = FullPath(*name);
  }

  try {
    if (!png) {
      CaptureScreenRect(area, path, command.cursor);
    } else {
      // The library converts a bitmap file into a PNG beside it: both are temporary files beside the target.
      const std::wstring bitmap = path + L".tmp.bmp";
      CaptureScreenRect(area, bitmap, command.cursor);
      const std::wstring converted = ConvertToPng(bitmap, console.exeName);
      ::DeleteFileW(bitmap.c_str());
      if (converted == bitmap) {
        return console.Fail(core::kExitActionFailed,
                            L"the PNG library (" + library + L") could not convert the snapshot");
      }
      if (!::MoveFileExW(converted.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(converted.c_str());
        return console.Fail(core::kExitActionFailed, path + L": " + Reason(error));
      }
    }
  } catch (const gui::Win32Error& error) {
    return console.Fail(core::kExitActionFailed, error.Message());
  }
  console.out.WriteLine(path);
  return core::kExitDone;
}
