// The frame counters of an interface (MAC counters for unicast and multicast traffic, PHY counters per PHY
// type and in total) with one series per counter, and the radio state of its PHYs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/graph/wifi_series.h"
#include "core/model/network.h"
#include "core/service/wlan_records.h"
#include "core/wlan/wlan_object.h"

namespace skimlet {

inline constexpr int MacCounterCount = 12;
inline constexpr int PhyCounterCount = 18;

// The language keys of the counters' names (the descriptions add "Desc").
const char* MacCounterNameKey(int counter);
const char* PhyCounterNameKey(int counter);

class TWLANStatistics : public TWlanObject {
 public:
  TWLANStatistics(TWLANInterface* owner, ChangeHandler onChange);

  uint64_t FourWayHandshakeFailures = 0;
  uint64_t TKIPCounterMeasuresInvoked = 0;
  WlanPhyCounters PhyTotal{};
  std::array<WlanPhyCounters, PhyTypeCount> PhyCounters{};
  WlanMacCounters MacUnicast{};
  WlanMacCounters MacMulticast{};
  // 12 MAC counter series followed by 18 PHY counter series.
  std::vector<std::unique_ptr<TCountersSeries>> CounterSeries;
  TSmallSet PhyPresent;  // PHY types that reported counters in the last update

  // Counters and one sample per series from the service, then OnChange. A failing capability or statistics
  // query leaves the PHY counters zeroed and the MAC counters as they were, adds no sample and calls nothing.
  void Update() override;

  TMACCountersSeries& MacSeries(int counter);
  TPhyCountersSeries& PhySeries(int counter);
  static uint64_t MacCounter(const WlanMacCounters& counters, int k);
  static uint64_t PhyCounter(const WlanPhyCounters& counters, int c);
};

// The service's IP statistics: nothing of its own, Update only calls OnChange.
class TIPStatistics : public TWlanObject {
 public:
  using TWlanObject::TWlanObject;
};

// The radio of one PHY type.
struct TRadioState {
  bool Present = false;
  uint32_t SoftwareState = 0;  // 0 unknown, 1 on, 2 off
  uint32_t HardwareState = 0;
  bool operator==(const TRadioState&) const = default;
};
using TRadioStates = std::array<TRadioState, PhyTypeCount>;

std::string RadioStateText(uint32_t state);

}  // namespace skimlet
