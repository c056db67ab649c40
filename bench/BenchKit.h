#pragma once
// What every benchmark program needs beside the test support it shares (tests/win/support: pumping and waiting,
// pointer input, finding a process's windows, files): a clock, a median, command-line text, the machine lines, and
// a plain window to point at.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/WindowClasses.h"

namespace bench {

double NowMs();  // a monotonic clock with sub-microsecond resolution, in milliseconds
double Median(std::vector<double> values);
// The median time of `runs` calls, in milliseconds.
double MedianMs(int runs, const std::function<void()>& call);

// A command-line argument (ASCII, such as a path that winepath printed) as wide text.
std::wstring Widen(const char* s);

// Prints the key=value lines that describe the machine: cpu (the processor's name as the system reports it, for a
// run by hand on Windows) and display (width x height in pixels, bits per pixel as programs see them, system DPI).
void PrintMachine();

// Pumps this thread's messages until the file exists; false when `timeoutMs` passed first.
bool WaitForFile(const std::wstring& path, int timeoutMs);

// A visible top-level "STATIC" window with a border, showing its title, at `bounds` in screen pixels.
fixture::OwnedWindow TitledWindow(const wchar_t* title, const RECT& bounds);

}  // namespace bench
