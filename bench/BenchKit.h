#pragma once
// What every benchmark program needs: a clock, a median, the machine's name, a message pump, and finding the
// window of a program it started.
#include <windows.h>

#include <string>
#include <vector>

namespace bench {

double NowMs();  // a monotonic clock with sub-microsecond resolution, in milliseconds
double Median(std::vector<double> values);
std::string CpuName();  // the processor's name as the system reports it
void PumpMessages();    // dispatches every pending message of this thread
// A visible top-level window of the process (of that window class, when one is given); nullptr if none.
HWND VisibleWindowOf(DWORD processId, const wchar_t* className = nullptr);

}  // namespace bench
