// The samples and series of networks, the current connection and the MAC and PHY frame counters.
#pragma once

#include <array>
#include <cstdint>

#include "core/graph/series.h"
#include "core/radio/values.h"

namespace skimlet {

// One refresh of a network. Absent values (no BSS load element) are negative.
struct TWiFiSeriesData : TTimeMultiData {
  bool Active = false;              // heard recently
  int32_t Quality = 0;              // percent
  int32_t RSSI = 0;                 // dBm
  double AchievableRate = 0;        // Mbps
  int32_t ChannelUtilization = -1;  // percent
  int32_t StationCount = -1;

  // 0 RSSI, 1 Quality, 2 AchievableRate, 3 ChannelUtilization, 4 StationCount (the last three -infinity when
  // negative); any other selector RSSI.
  double GetValue(int selector) const;
};

// One query of the current connection.
struct TCurrentConnectioSeriesData : TTimeMultiData {
  bool Connected = false;
  int32_t RSSI = 0;     // dBm
  int32_t Quality = 0;  // percent

  // 1 Quality; any other selector RSSI.
  double GetValue(int selector) const { return selector == 1 ? Quality : RSSI; }
};

// One refresh of a MAC frame counter.
struct TMacCountersData : TTimeMultiData {
  uint64_t Multicast = 0;
  uint64_t Unicast = 0;

  // 2 Multicast; any other selector Unicast.
  uint64_t Counter(int selector) const { return selector == 2 ? Multicast : Unicast; }
  double GetValue(int selector) const { return static_cast<double>(Counter(selector)); }
};

// PHY types 0 ... 11 (EHT the last) each have a slot.
inline constexpr int PhyTypeCount = kPhyTypeLast + 1;

// One refresh of a PHY frame counter: the sum over all PHYs and the value per PHY type.
struct TPhyCountersData : TTimeMultiData {
  uint64_t Total = 0;
  std::array<uint64_t, PhyTypeCount> PerPhy{};

  // Selector < 0 Total; 0 ... kPhyTypeLast the counter of that PHY type; a PHY type beyond the list counts nothing.
  uint64_t Counter(int selector) const {
    if (selector < 0) return Total;
    return selector < PhyTypeCount ? PerPhy[static_cast<size_t>(selector)] : 0;
  }
  double GetValue(int selector) const { return static_cast<double>(Counter(selector)); }
};

// A network's history. Range statistics count active samples only; inactive ones inside the range are
// skipped without ending the walk.
class TWiFiSeries : public TSampleSeries<TTimeMultiDataSeries, TWiFiSeriesData> {
 public:
  TRangeStats GetRangeStats(int selector, LocalDateTime from, LocalDateTime to) const override;
};

class TCurrentConnectionSeries : public TSampleSeries<TTimeMultiDataSeries, TCurrentConnectioSeriesData> {};

// A frame counter's history. Graphs show its growth per second; range statistics are over those rates.
class TCountersSeries : public TTimeMultiDataSeries {
 public:
  virtual uint64_t GetCounter(size_t index, int selector) const = 0;

  // Growth per second of the counter at sample Index since the sample before: 0 for the first sample, for
  // samples less than a whole second apart and for a counter that went down (it was reset).
  double GetRate(size_t index, int selector) const;

  TRangeStats GetRangeStats(int selector, LocalDateTime from, LocalDateTime to) const override;
};

class TMACCountersSeries : public TSampleSeries<TCountersSeries, TMacCountersData> {
 public:
  uint64_t GetCounter(size_t index, int selector) const override { return At(index).Counter(selector); }
};

class TPhyCountersSeries : public TSampleSeries<TCountersSeries, TPhyCountersData> {
 public:
  uint64_t GetCounter(size_t index, int selector) const override { return At(index).Counter(selector); }
};

// Statistics over the whole series (everything not yet trimmed), counting only the samples taken while the
// network was active or the interface connected.
//   SeriesLast     value of the newest sample; +infinity when the series is empty or that sample's flag is off
//   SeriesMinimum  +infinity when no sample counts
//   SeriesMaximum  -infinity when no sample counts
//   SeriesAverage  mean; -infinity when no sample counts
double SeriesLast(const TWiFiSeries& series, int selector);
double SeriesMinimum(const TWiFiSeries& series, int selector);
double SeriesMaximum(const TWiFiSeries& series, int selector);
double SeriesAverage(const TWiFiSeries& series, int selector);
double SeriesLast(const TCurrentConnectionSeries& series, int selector);
double SeriesMinimum(const TCurrentConnectionSeries& series, int selector);
double SeriesMaximum(const TCurrentConnectionSeries& series, int selector);
double SeriesAverage(const TCurrentConnectionSeries& series, int selector);

}  // namespace skimlet
