#pragma once
// One copy per executable. A second start of the same executable file (however its path is spelt) brings the
// first copy's window forward and ends, as tray utilities do: two copies would each save their own lists over
// the other's, and the adds of one would be lost.
#include <string>

// True when a copy of the executable at `exeName` runs already: its main window has then been shown and brought to
// the front (if it appears within a few seconds) and this process should end. False when this process is the
// first: it stays the one copy for that path for as long as it runs.
bool HandOverToFirstCopy(const std::wstring& exeName);
