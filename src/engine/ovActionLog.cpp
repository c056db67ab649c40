#include "engine/ovActionLog.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <span>

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Handles.h"
#include "core/ActionLog.h"
#include "engine/ovHost.h"
#include "engine/ovWindowNames.h"

namespace {

// Windows remembered as logged before the closed ones are forgotten; all are forgotten past twice as many.
constexpr std::size_t kRememberedWindows = 4096;
// Lines kept while the file cannot be written; past this the older half is dropped.
constexpr std::size_t kUnwrittenLimit = 64 * 1024;

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
  throw base::Win32Error(L"Cannot write \"" + path + L"\"", error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
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

bool TovActionLog::Act(std::size_t line, const TovTaskTarget& target) {
  std::optional<core::ActionLogEntry> entry;
  if (target.Window && !path_.empty() && !logged_.contains({target.Window, line})) {
    entry.emplace();
    entry->time = Now();
    entry->action = ActionText(target);
    entry->lineNumber = line + 1;
    entry->handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(target.Window));
    entry->imageName = ProcessImageName(target.Window);
    entry->className = WindowClassName(target.Window);
    // An element has no window of its own: its name stands in for the title.
    entry->title = !target.IsElement() ? StoredWindowTitle(target.Window)
                   : !target.ElementName.empty() ? target.ElementName
                                                 : target.ElementRole;
  }
  if (!ApplyTaskAction(target)) return false;
  if (entry) {
    logged_.insert({target.Window, line});
    if (logged_.size() > kRememberedWindows) ForgetClosedWindows();
    Record(*entry);
  }
  return true;
}

void TovActionLog::Record(const core::ActionLogEntry& entry) noexcept {
  try {
    unwritten_ += core::FormatActionLogLine(entry);
    if (unwritten_.size() > kUnwrittenLimit) unwritten_ = core::KeepNewerHalf(unwritten_);
    Append(unwritten_);
    unwritten_.clear();
  } catch (...) {
    // Reported once per run: a log that cannot be written must not flood the user with reports.
    if (std::exchange(reported_, true) || !OnWriteError) return;
    try {
      OnWriteError(base::ExceptionMessage(std::current_exception()));
    } catch (...) {
      ExceptionSink().Report(std::current_exception());
    }
  }
}

void TovActionLog::ForgetClosedWindows() {
  std::erase_if(logged_, [](const auto& entry) { return !::IsWindow(entry.first); });
  if (logged_.size() > 2 * kRememberedWindows) logged_.clear();
}

void TovActionLog::Append(const std::string& lines) {
  uint64_t size = 0;
  std::string kept;
  {
    base::UniqueFile file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA | GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError(path_);
    LARGE_INTEGER before{};
    if (!::GetFileSizeEx(file.get(), &before)) ThrowLastError(path_);
    // A last line without its line ending (cut off, or written by hand) keeps its own line.
    const std::string last =
        before.QuadPart > 0 ? ReadTail(file.get(), path_, static_cast<uint64_t>(before.QuadPart), 1) : std::string();
    const std::string bytes = core::OnLineOfItsOwn(last, lines);
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
  base::WriteFileAtomically(path_, std::span(reinterpret_cast<const std::uint8_t*>(kept.data()), kept.size()));
}
