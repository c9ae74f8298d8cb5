// Time stamps of the model: LocalDateTime is a count of days since 1899-12-30 00:00 local time, the fraction
// being the time of day. Samples, snapshot files and time texts all use it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace skimlet {

using LocalDateTime = double;

inline constexpr double SecondsPerDay = 86400.0;
inline constexpr double MillisecondsPerDay = 86400000.0;

// A source of "now". The system clock by default; tests hand in their own to make trimming deterministic.
using TClock = std::function<LocalDateTime()>;

// The current local date and time, to the millisecond.
LocalDateTime LocalNow();
// Calendar fields of a time stamp (no time-zone conversion: it is local time already). 1899-12-30 00:00 for
// values outside the calendar (infinite, NaN, millions of days away).
struct TDateTimeParts {
  int Year = 1899, Month = 12, Day = 30, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};
TDateTimeParts DecodeLocalDateTime(LocalDateTime t);
// "2026-12-10T14:03:05" (local time, whole seconds).
std::string LocalDateTimeToISO(LocalDateTime t);

// Minutes east of UTC of the local zone at local time T (daylight saving decided by the zone's rules); 0 for
// values outside the calendar.
int LocalUtcOffsetMinutes(LocalDateTime t);

// A clock that reads LocalNow.
const TClock& SystemClock();

// Calendar date and time (local) to LocalDateTime; month 1-12, day 1-31. Dates before 1899-12-30 give
// negative day counts with a positive time of day added (plain arithmetic, no calendar tricks).
LocalDateTime EncodeLocalDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                                  int millisecond = 0);

// Offsets of a time stamp by a number of seconds or minutes.
inline LocalDateTime AddSeconds(LocalDateTime t, double seconds) { return t + seconds / SecondsPerDay; }
inline LocalDateTime AddMinutes(LocalDateTime t, double minutes) { return t + minutes * 60.0 / SecondsPerDay; }

// Spans between two time stamps: the absolute difference, truncated to whole milliseconds, seconds or
// minutes. The difference is first rounded to the nearest millisecond, so that two stamps exactly 360 s
// apart give 6 minutes even though day fractions are not exact in binary.
int64_t MillisecondsBetween(LocalDateTime a, LocalDateTime b);
inline int64_t SecondsBetween(LocalDateTime a, LocalDateTime b) { return MillisecondsBetween(a, b) / 1000; }
inline int64_t MinutesBetween(LocalDateTime a, LocalDateTime b) { return MillisecondsBetween(a, b) / 60000; }

}  // namespace skimlet
