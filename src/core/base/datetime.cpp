#include "core/base/datetime.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>

namespace skimlet {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's days_from_civil).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t UnixEpochDay = 25569;  // 1970-01-01 counted from 1899-12-30

}  // namespace

LocalDateTime EncodeLocalDateTime(int year, int month, int day, int hour, int minute, int second,
                                  int millisecond) {
  const int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + UnixEpochDay;
  const double ms = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond;
  return static_cast<double>(days) + ms / MillisecondsPerDay;
}

LocalDateTime LocalNow() {
  const auto now = std::chrono::system_clock::now();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  return EncodeLocalDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                             local.tm_sec, static_cast<int>(ms % 1000));
}

const TClock& SystemClock() {
  static const TClock clock = [] { return LocalNow(); };
  return clock;
}

int64_t MillisecondsBetween(LocalDateTime a, LocalDateTime b) {
  const double ms = std::fabs(a - b) * MillisecondsPerDay;
  if (!(ms < 9.0e18)) return INT64_MAX;  // infinite, NaN or beyond any calendar
  return static_cast<int64_t>(std::llround(ms));
}

}  // namespace skimlet
