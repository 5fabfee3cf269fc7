#pragma once

#include <cstdint>
#include <string>

namespace tamarind {

// Milliseconds since some fixed start, wrapping after 2^32; compare with unsigned arithmetic.
using Tick = std::uint32_t;

// The time sources the program reads: the millisecond tick count and the local time of day and
// date as text. Injected, so that tests drive a whole job tick by tick without sleeping.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Tick TickCount() const = 0;
  // Local time of day: hours, minutes and seconds in the locale's time format (12-hour clock
  // with its AM/PM text only where the locale uses one), no fractions.
  virtual std::string TimeText() const = 0;
  // Local date in the locale's short date format.
  virtual std::string DateText() const = 0;
};

// The platform's clock: a monotonic tick count and the C library's locale formats, as set by
// setlocale(LC_ALL, "") at start-up.
const Clock& SystemClock();

}  // namespace tamarind
