#pragma once

#include <string>

#include "app/clock.h"

namespace tamarind::testing {

// A clock the test sets by hand: the tick count moves only when the test says so, and the time
// and date texts are whatever the test put there.
class FakeClock final : public Clock {
 public:
  Tick now = 0;
  std::string time_text = "12:34:56";
  std::string date_text = "12/11/26";

  Tick TickCount() const override { return now; }
  std::string TimeText() const override { return time_text; }
  std::string DateText() const override { return date_text; }

  void Advance(Tick milliseconds) { now += milliseconds; }
};

}  // namespace tamarind::testing
