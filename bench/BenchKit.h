#pragma once
// What every benchmark program needs: a clock, a median, the machine's name, and a message pump.
#include <string>
#include <vector>

namespace bench {

double NowMs();  // a monotonic clock with sub-microsecond resolution, in milliseconds
double Median(std::vector<double> values);
std::string CpuName();  // the processor's name as the system reports it
void PumpMessages();    // dispatches every pending message of this thread

}  // namespace bench
