#include <langinfo.h>

#include <cstdio>
#include <ctime>
#include <string_view>

#include "app/clock.h"

namespace tamarind {
namespace {

// Where the locale gives no picture: "m/d/yy" and a 12-hour clock with "am"/"pm" after it.
constexpr const char* kFallbackDate = "%-m/%-d/%y";

std::string Format(const char* picture, const std::tm& local) {
  char text[256];
  const std::size_t length = std::strftime(text, sizeof text, picture, &local);
  return std::string(text, length);
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return local;
}

// The locale's time picture without any time-zone part; records carry only the time of day.
std::string TimePicture() {
  std::string picture = ::nl_langinfo(T_FMT);
  for (std::string_view zone : {" %Z", "%Z", " %z", "%z"}) {
    for (std::size_t at; (at = picture.find(zone)) != std::string::npos;) {
      picture.erase(at, zone.size());
    }
  }
  return picture;
}

class SystemClockImpl final : public Clock {
 public:
  Tick TickCount() const override {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<Tick>(milliseconds);
  }

  std::string TimeText() const override {
    const std::tm local = LocalNow();
    const std::string picture = TimePicture();
    if (!picture.empty()) return Format(picture.c_str(), local);
    const int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d %s", hour12, local.tm_min, local.tm_sec,
                  local.tm_hour < 12 ? "am" : "pm");
    return text;
  }

  std::string DateText() const override {
    const char* picture = ::nl_langinfo(D_FMT);
    return Format(picture != nullptr && *picture != '\0' ? picture : kFallbackDate, LocalNow());
  }
};

}  // namespace

const Clock& SystemClock() {
  static const SystemClockImpl clock;
  return clock;
}

}  // namespace tamarind
