#include "core/graph/series.h"

namespace skimlet {

TRangeStats TTimeMultiDataSeries::GetRangeStats(int selector, LocalDateTime from, LocalDateTime to) const {
  return WalkRange(from, to, [&](size_t i, double& v) {
    v = GetValue(i, selector);
    return true;
  });
}

void TrimSeries(TSeries& series, int minutes, LocalDateTime now) {
  while (!series.Empty()) {
    if (series.Count() <= SeriesSampleLimit && MinutesBetween(series.GetTime(0), now) <= minutes) break;
    series.DeleteOldest();
  }
}

}  // namespace skimlet
