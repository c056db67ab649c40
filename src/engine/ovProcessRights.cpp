#include "engine/ovProcessRights.h"

#include <optional>
#include <vector>

#include "gui/Handles.h"

namespace {

// The integrity level of a process's token (the last sub-authority of its label); nothing where it cannot be read.
std::optional<DWORD> IntegrityLevel(HANDLE process) {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) return std::nullopt;
  const base::UniqueHandleObject token(raw);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
  if (size < sizeof(TOKEN_MANDATORY_LABEL) || size > 4096) return std::nullopt;
  std::vector<BYTE> buffer(size);
  if (!::GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size)) return std::nullopt;
  const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
  if (!sid || !::IsValidSid(sid)) return std::nullopt;
  const UCHAR count = *::GetSidSubAuthorityCount(sid);
  if (count == 0) return std::nullopt;
  return *::GetSidSubAuthority(sid, count - 1u);
}

}  // namespace

bool RunsWithHigherRights(HWND window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId == 0 || processId == ::GetCurrentProcessId()) return false;
  const base::UniqueHandleObject process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return false;
  const std::optional<DWORD> theirs = IntegrityLevel(process.get());
  const std::optional<DWORD> ours = IntegrityLevel(::GetCurrentProcess());
  return theirs && ours && *theirs > *ours;
}
