#include "core/base/datetime.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
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

// The date of a day count from 1970-01-01 (Howard Hinnant's civil_from_days).
void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

}  // namespace

LocalDateTime EncodeLocalDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + UnixEpochDay;
  const double ms = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond;
  return static_cast<double>(days) + ms / MillisecondsPerDay;
}

TDateTimeParts DecodeLocalDateTime(LocalDateTime t) {
  TDateTimeParts p;
  if (!std::isfinite(t) || std::fabs(t) > 3.0e6) return p;  // outside any calendar a survey needs
  int64_t ms = std::llround(t * MillisecondsPerDay);
  int64_t days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
  int64_t rest = ms - days * 86400000;
  CivilFromDays(days - UnixEpochDay, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(rest / 3600000);
  p.Minute = static_cast<int>(rest / 60000 % 60);
  p.Second = static_cast<int>(rest / 1000 % 60);
  p.Millisecond = static_cast<int>(rest % 1000);
  return p;
}

std::string LocalDateTimeToISO(LocalDateTime t) {
  TDateTimeParts p = DecodeLocalDateTime(t);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second);
  return buf;
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

int LocalUtcOffsetMinutes(LocalDateTime t) {
  if (!std::isfinite(t) || t <= 0 || t > 2958466) return 0;
  const TDateTimeParts p = DecodeLocalDateTime(t);
  std::tm tm{};
  tm.tm_year = p.Year - 1900;
  tm.tm_mon = p.Month - 1;
  tm.tm_mday = p.Day;
  tm.tm_hour = p.Hour;
  tm.tm_min = p.Minute;
  tm.tm_sec = p.Second;
  tm.tm_isdst = -1;
  const std::time_t when = std::mktime(&tm);
  std::tm local{};
  if (when == static_cast<std::time_t>(-1) || !localtime_r(&when, &local)) return 0;
  return static_cast<int>(local.tm_gmtoff / 60);
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
