#include "core/graph/wifi_series.h"

namespace skimlet {

namespace {

double OrMinusInfinity(double v) { return v < 0 ? MinusInfinity : v; }

bool Flag(const TWiFiSeriesData& s) { return s.Active; }
bool Flag(const TCurrentConnectioSeriesData& s) { return s.Connected; }

template <class TSeriesType>
double Last(const TSeriesType& series, int selector) {
  if (series.Empty() || !Flag(series.Newest())) return PlusInfinity;
  return series.Newest().GetValue(selector);
}

// Walks every flagged sample from the oldest.
template <class TSeriesType, class Fn>
size_t ForFlagged(const TSeriesType& series, int selector, Fn fn) {
  size_t n = 0;
  for (size_t i = 0; i < series.Count(); ++i) {
    if (!Flag(series[i])) continue;
    fn(series[i].GetValue(selector));
    ++n;
  }
  return n;
}

template <class TSeriesType>
double Minimum(const TSeriesType& series, int selector) {
  double m = PlusInfinity;
  ForFlagged(series, selector, [&](double v) {
    if (v < m) m = v;
  });
  return m;
}

template <class TSeriesType>
double Maximum(const TSeriesType& series, int selector) {
  double m = MinusInfinity;
  ForFlagged(series, selector, [&](double v) {
    if (v > m) m = v;
  });
  return m;
}

template <class TSeriesType>
double Average(const TSeriesType& series, int selector) {
  double sum = 0;
  const size_t n = ForFlagged(series, selector, [&](double v) { sum += v; });
  return n > 0 ? sum / static_cast<double>(n) : MinusInfinity;
}

}  // namespace

double TWiFiSeriesData::GetValue(int selector) const {
  switch (selector) {
    case 1: return Quality;
    case 2: return OrMinusInfinity(AchievableRate);
    case 3: return OrMinusInfinity(ChannelUtilization);
    case 4: return OrMinusInfinity(StationCount);
    default: return RSSI;
  }
}

TRangeStats TWiFiSeries::GetRangeStats(int selector, LocalDateTime from, LocalDateTime to) const {
  return WalkRange(from, to, [&](size_t i, double& v) {
    const TWiFiSeriesData& s = (*this)[i];
    if (!s.Active) return false;
    v = s.GetValue(selector);
    return true;
  });
}

double TCountersSeries::GetRate(size_t index, int selector) const {
  if (index == 0) return 0;
  const int64_t dt = SecondsBetween(GetTime(index - 1), GetTime(index));
  if (dt <= 0) return 0;
  const uint64_t before = GetCounter(index - 1, selector);
  const uint64_t now = GetCounter(index, selector);
  if (now < before) return 0;
  return static_cast<double>(now - before) / static_cast<double>(dt);
}

TRangeStats TCountersSeries::GetRangeStats(int selector, LocalDateTime from, LocalDateTime to) const {
  return WalkRange(from, to, [&](size_t i, double& v) {
    v = GetRate(i, selector);
    return true;
  });
}

double SeriesLast(const TWiFiSeries& series, int selector) { return Last(series, selector); }
double SeriesMinimum(const TWiFiSeries& series, int selector) { return Minimum(series, selector); }
double SeriesMaximum(const TWiFiSeries& series, int selector) { return Maximum(series, selector); }
double SeriesAverage(const TWiFiSeries& series, int selector) { return Average(series, selector); }
double SeriesLast(const TCurrentConnectionSeries& series, int selector) { return Last(series, selector); }
double SeriesMinimum(const TCurrentConnectionSeries& series, int selector) { return Minimum(series, selector); }
double SeriesMaximum(const TCurrentConnectionSeries& series, int selector) { return Maximum(series, selector); }
double SeriesAverage(const TCurrentConnectionSeries& series, int selector) { return Average(series, selector); }

}  // namespace skimlet
