// Series: the time-stamped history that one graph line draws, oldest sample first, with a colour and a caption.
//
// Samples are plain structs kept by value in a ring per series; the series classes give graphs a uniform view
// of them (time and value of sample i for a value selector) and the statistics a graph asks for.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "core/base/datetime.h"
#include "core/graph/colors.h"
#include "core/graph/sample_ring.h"

namespace skimlet {

// A trimmed series holds at most this many samples; one more right after an append.
inline constexpr size_t SeriesSampleLimit = 10000;
// Default of the time window option: samples stay while less than this + 1 minutes old.
inline constexpr int DefaultTimeWindowMinutes = 5;

inline constexpr double PlusInfinity = std::numeric_limits<double>::infinity();
inline constexpr double MinusInfinity = -std::numeric_limits<double>::infinity();

// One sample: its time stamp. Every sample struct starts with it.
struct TTimeMultiData {
  LocalDateTime Time = 0;
  LocalDateTime GetTime() const { return Time; }
};

struct TRangeStats {
  double Minimum = PlusInfinity;
  double Maximum = MinusInfinity;
  double Mean = 0;
};

// The samples of one line, read by index (0 = oldest), with its colour and caption.
class TSeries {
 public:
  virtual ~TSeries() = default;

  TColor Color = 0;
  std::string Caption;

  virtual size_t Count() const = 0;
  bool Empty() const { return Count() == 0; }
  // Time and value of sample Index; std::out_of_range beyond the last sample.
  virtual LocalDateTime GetTime(size_t index) const = 0;
  virtual double GetValue(size_t index, int selector) const = 0;
  virtual void DeleteOldest() = 0;
  virtual void Clear() = 0;
  // Memory the series holds: the object and its sample buffer.
  virtual size_t MemoryBytes() const = 0;

 protected:
  TSeries() = default;
  TSeries(const TSeries&) = default;
  TSeries& operator=(const TSeries&) = default;
};

// A series with range statistics. A new one gets a random palette colour.
class TTimeMultiDataSeries : public TSeries {
 public:
  TTimeMultiDataSeries() { Color = RandomPaletteColor(); }

  // Minimum, maximum and mean of the values for Selector among the samples whose time lies in [From, To]
  // (the bounds may come in either order). Walks from the newest sample and stops at the first one older
  // than From, so the cost depends on the window, not on the history.
  virtual TRangeStats GetRangeStats(int selector, LocalDateTime from, LocalDateTime to) const;

 protected:
  // The walk behind GetRangeStats; Take(index, value&) says whether the sample counts and gives its value.
  template <class Take>
  TRangeStats WalkRange(LocalDateTime from, LocalDateTime to, Take take) const;
};

// Storage of one kind of sample under a series base class.
template <class TBase, class TSample>
class TSampleSeries : public TBase {
 public:
  using Sample = TSample;

  size_t Count() const override { return ring_.Count(); }
  LocalDateTime GetTime(size_t index) const override { return ring_.At(index).Time; }
  double GetValue(size_t index, int selector) const override { return ring_.At(index).GetValue(selector); }
  void DeleteOldest() override { ring_.PopFront(); }
  void Clear() override { ring_.Clear(); }
  size_t MemoryBytes() const override { return sizeof(*this) + ring_.BufferBytes(); }

  // Sample Index (0 = oldest); std::out_of_range beyond the last sample.
  const TSample& At(size_t index) const { return ring_.At(index); }
  const TSample& operator[](size_t index) const { return ring_[index]; }
  const TSample& Newest() const { return ring_.At(ring_.Count() - 1); }

  // Appends without trimming; owners use AppendSample, which trims first.
  void Add(const TSample& sample) { ring_.PushBack(sample); }

 private:
  TSampleRing<TSample> ring_{SeriesSampleLimit + 1};
};

// Drops samples from the old end while the series holds more than SeriesSampleLimit samples or its oldest
// sample is more than Minutes whole minutes away from Now.
void TrimSeries(TSeries& series, int minutes, LocalDateTime now);

// Trims the series with the time window, then appends the sample at the new end.
template <class TBase, class TSample>
void AppendSample(TSampleSeries<TBase, TSample>& series, const TSample& sample, int windowMinutes,
                  const TClock& clock) {
  TrimSeries(series, windowMinutes, clock());
  series.Add(sample);
}

// Base of every object that owns one series (a network, the connection, a counter); graphs reach the row's
// series through it.
class TObjectWithSeries {
 public:
  virtual ~TObjectWithSeries() = default;
  TTimeMultiDataSeries& Series() { return *series_; }
  const TTimeMultiDataSeries& Series() const { return *series_; }

 protected:
  explicit TObjectWithSeries(std::unique_ptr<TTimeMultiDataSeries> series) : series_(std::move(series)) {}

 private:
  std::unique_ptr<TTimeMultiDataSeries> series_;
};

// TObjectWithSeries that creates its series of the given class and gives typed access to it.
template <class TSeriesType>
class TObjectWithSeriesOf : public TObjectWithSeries {
 public:
  TObjectWithSeriesOf() : TObjectWithSeries(std::make_unique<TSeriesType>()) {}
  TSeriesType& TypedSeries() { return static_cast<TSeriesType&>(Series()); }
  const TSeriesType& TypedSeries() const { return static_cast<const TSeriesType&>(Series()); }
};

template <class Take>
TRangeStats TTimeMultiDataSeries::WalkRange(LocalDateTime from, LocalDateTime to, Take take) const {
  TRangeStats stats;
  if (from > to) std::swap(from, to);
  double sum = 0;
  size_t count = 0;
  for (size_t i = Count(); i-- > 0;) {
    const LocalDateTime t = GetTime(i);
    if (t < from) break;
    if (t > to) continue;
    double v = 0;
    if (!take(i, v)) continue;
    if (v > stats.Maximum) stats.Maximum = v;
    if (v < stats.Minimum) stats.Minimum = v;
    sum += v;
    ++count;
  }
  stats.Mean = count > 0 ? sum / static_cast<double>(count) : 0;
  return stats;
}

}  // namespace skimlet
