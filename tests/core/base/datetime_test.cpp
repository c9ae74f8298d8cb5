#include "core/base/datetime.h"

#include <gtest/gtest.h>

namespace skimlet {
namespace {

TEST(LocalDateTime, EncodesAndDecodesCalendarTimes) {
  EXPECT_EQ(EncodeLocalDateTime(2024, 1, 1, 12, 0, 0), 45292.5);
  struct Case {
    int y, mo, d, h, mi, s, ms;
  };
  for (const Case& c :
       {Case{2024, 1, 1, 12, 0, 0, 0}, Case{1899, 12, 30, 0, 0, 0, 0}, Case{2000, 2, 29, 23, 59, 59, 999},
        Case{2026, 12, 10, 0, 0, 1, 0}, Case{1899, 12, 29, 18, 0, 0, 0}}) {
    TDateTimeParts p = DecodeLocalDateTime(EncodeLocalDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms));
    EXPECT_EQ((std::array{p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.Millisecond}),
              (std::array{c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms}));
  }
  EXPECT_EQ(LocalDateTimeToISO(45292.5), "2024-01-01T12:00:00");
  EXPECT_EQ(DecodeLocalDateTime(1.0 / 0.0).Year, 1899);
}

}  // namespace
}  // namespace skimlet
