#pragma once
// A local date and time as the clock gives it, for texts and file names that carry one.

namespace core {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

}  // namespace core
