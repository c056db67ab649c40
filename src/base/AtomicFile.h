#pragma once
// Writing a whole file in one step. The bytes go to a new temporary file beside the target, are flushed to the disk,
// and the temporary file then replaces the target in one move (written through), so a reader or a crash sees the old
// file or the new one, never half of one. A failure at any step leaves the target as it was and no temporary file
// behind.
#include <cstdint>
#include <span>
#include <string>

namespace base {

// Writes `bytes` to `path`, replacing a file that is there. The temporary file is "<path>.<process id>.part". Throws
// Win32Error ("Cannot write \"<path>\"" and the system's reason); nothing has changed under `path` then.
void WriteFileAtomically(const std::wstring& path, std::span<const std::uint8_t> bytes);

}  // namespace base
