#include "engine/ovActionLog.h"

#include <algorithm>
#include <exception>
#include <span>

#include "core/ActionLog.h"
#include "engine/ovWindowNames.h"
#include "gui/AtomicFile.h"
#include "gui/Error.h"
#include "gui/Application.h"
#include "gui/Handles.h"

namespace {

// Windows remembered as logged before the closed ones are forgotten; all are forgotten past twice as many.
constexpr std::size_t kRememberedWindows = 4096;

std::wstring ActionText(const TovTaskTarget& target) {
  switch (target.Action) {
    case core::TaskAction::Close:
      return L"close";
    case core::TaskAction::Click:
      return L"click";
    case core::TaskAction::Key:
      return L"key " + std::to_wstring(target.Key);
  }
  return {};
}

core::LocalTime Now() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

[[noreturn]] void ThrowLastError(const std::wstring& path) {
  const DWORD error = ::GetLastError();
  throw gui::Win32Error(L"Cannot write \"" + path + L"\"", error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
}

// The last `count` bytes of the open file.
std::string ReadTail(HANDLE file, const std::wstring& path, uint64_t size, std::size_t count) {
  LARGE_INTEGER from{};
  from.QuadPart = static_cast<LONGLONG>(size - count);
  if (!::SetFilePointerEx(file, from, nullptr, FILE_BEGIN)) ThrowLastError(path);
  std::string bytes(count, '\0');
  DWORD read = 0;
  if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(count), &read, nullptr)) ThrowLastError(path);
  bytes.resize(read);
  return bytes;
}

}  // namespace

void TovActionLog::Record(std::size_t line, const TovTaskTarget& target) noexcept {
  try {
    if (!target.Window || path_.empty()) return;
    if (!logged_.insert({target.Window, line}).second) return;
    if (logged_.size() > kRememberedWindows) ForgetClosedWindows();
    core::ActionLogEntry entry;
    entry.time = Now();
    entry.action = ActionText(target);
    entry.lineNumber = line + 1;
    entry.handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(target.Window));
    entry.imageName = ProcessImageName(target.Window);
    entry.className = WindowClassName(target.Window);
    // An element has no window of its own: its name stands in for the title.
    entry.title = !target.IsElement() ? StoredWindowTitle(target.Window)
                  : !target.ElementName.empty() ? target.ElementName
                                                : target.ElementRole;
    Append(core::FormatActionLogLine(entry));
  } catch (...) {
    // Reported once per run: a log that cannot be written must not flood the user with reports.
    if (std::exchange(reported_, true)) return;
    gui::Application::Instance().HandleException(std::current_exception());
  }
}

void TovActionLog::ForgetClosedWindows() {
  std::erase_if(logged_, [](const auto& entry) { return !::IsWindow(entry.first); });
  if (logged_.size() > 2 * kRememberedWindows) logged_.clear();
}

void TovActionLog::Append(const std::string& bytes) {
  uint64_t size = 0;
  std::string kept;
  {
    gui::UniqueFile file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA | GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError(path_);
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
      ThrowLastError(path_);
    }
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(file.get(), &length)) ThrowLastError(path_);
    size = static_cast<uint64_t>(length.QuadPart);
    if (size <= core::kActionLogLimit) return;
    // Another program may have made the file huge: at most twice the bound is read, from its end.
    const std::size_t count = static_cast<std::size_t>(std::min<uint64_t>(size, 2 * core::kActionLogLimit));
    kept = ReadTail(file.get(), path_, size, count);
    if (count < size) kept.erase(0, std::min(kept.size(), kept.find('\n') + 1));  // a line cut by the start
  }                                                                               // closed before the file is replaced
  kept = core::KeepNewerHalf(kept);
  gui::WriteFileAtomically(path_, std::span(reinterpret_cast<const std::uint8_t*>(kept.data()), kept.size()));
}
