#include "core/wlan/wlan_statistics.h"

#include "core/base/translate.h"
#include "core/settings/options.h"
#include "core/wlan/wlan_interface.h"

namespace skimlet {

namespace {
const char* const kMacKeys[MacCounterCount] = {
    "sTransmittedFrameCount", "sReceivedFrameCount", "sWEPExcludedCount",    "sTKIPLocalMICFailures",
    "sTKIPReplays",           "sTKIPICVErrorCount",  "sCCMPReplays",         "sCCMPDecryptErrors",
    "sWEPUndecryptableCount", "sWEPICVErrorCount",   "sDecryptSuccessCount", "sDecryptFailureCount",
};
const char* const kPhyKeys[PhyCounterCount] = {
    "sPHYTransmittedFrameCount",
    "sMulticastTransmittedFrameCount",
    "sFailedCount",
    "sRetryCount",
    "sMultipleRetryCount",
    "sMaxTXLifetimeExceededCount",
    "sTransmittedFragmentCount",
    "sRTSSuccessCount",
    "sRTSFailureCount",
    "sACKFailureCount",
    "sPHYReceivedFrameCount",
    "sMulticastReceivedFrameCount",
    "sPromiscuousReceivedFrameCount",
    "sMaxRXLifetimeExceededCount",
    "sFrameDuplicateCount",
    "sReceivedFragmentCount",
    "sPromiscuousReceivedFragmentCount",
    "sFCSErrorCount",
};
}  // namespace

const char* MacCounterNameKey(int counter) {
  return counter >= 0 && counter < MacCounterCount ? kMacKeys[counter] : "";
}
const char* PhyCounterNameKey(int counter) {
  return counter >= 0 && counter < PhyCounterCount ? kPhyKeys[counter] : "";
}

std::string RadioStateText(uint32_t state) {
  switch (state) {
    case kRadioOn: return Translate("SRadioStateON");
    case kRadioOff: return Translate("SRadioStateOFF");
    default: return Translate("SRadioStateUnknown");
  }
}

TWLANStatistics::TWLANStatistics(TWLANInterface* owner, ChangeHandler onChange)
    : TWlanObject(owner, std::move(onChange)) {
  for (int k = 0; k < MacCounterCount; ++k) CounterSeries.push_back(std::make_unique<TMACCountersSeries>());
  for (int c = 0; c < PhyCounterCount; ++c) CounterSeries.push_back(std::make_unique<TPhyCountersSeries>());
}

TMACCountersSeries& TWLANStatistics::MacSeries(int counter) {
  return static_cast<TMACCountersSeries&>(*CounterSeries.at(static_cast<size_t>(counter)));
}

TPhyCountersSeries& TWLANStatistics::PhySeries(int counter) {
  return static_cast<TPhyCountersSeries&>(*CounterSeries.at(static_cast<size_t>(MacCounterCount + counter)));
}

uint64_t TWLANStatistics::MacCounter(const WlanMacCounters& counters, int k) {
  return k >= 0 && k < MacCounterCount ? counters[static_cast<size_t>(k)] : 0;
}

uint64_t TWLANStatistics::PhyCounter(const WlanPhyCounters& counters, int c) {
  return c >= 0 && c < PhyCounterCount ? counters[static_cast<size_t>(c)] : 0;
}

void TWLANStatistics::Update() {
  const LocalDateTime t = Interface->Interfaces->Now();
  PhyPresent = {};
  PhyTotal.fill(0);
  for (auto& p : PhyCounters) p.fill(0);

  WlanService& service = Interface->Service();
  WlanBlock capabilityBlock, statisticsBlock;
  if (service.GetInterfaceCapability(Interface->GUID, capabilityBlock) != 0) return;
  auto capability = WLAN_INTERFACE_CAPABILITY::Decode(capabilityBlock);
  if (!capability) return;
  if (service.QueryInterface(Interface->GUID, kOpcodeStatistics, statisticsBlock) != 0) return;
  auto statistics = WLAN_STATISTICS::Decode(statisticsBlock);
  if (!statistics) return;

  FourWayHandshakeFailures = statistics->ullFourWayHandshakeFailures;
  TKIPCounterMeasuresInvoked = statistics->ullTKIPCounterMeasuresInvoked;
  MacUnicast = statistics->MacUcastCounters;
  MacMulticast = statistics->MacMcastCounters;

  const int window = Interface->Interfaces->Options().TimeWindowMinutes;
  for (int k = 0; k < MacCounterCount; ++k) {
    TMacCountersData sample;
    sample.Time = t;
    sample.Unicast = MacUnicast[static_cast<size_t>(k)];
    sample.Multicast = MacMulticast[static_cast<size_t>(k)];
    TrimSeries(MacSeries(k), window, t);
    MacSeries(k).Add(sample);
  }

  // Records of PHY indices the capability does not know, or of PHY types without a slot, count nowhere.
  for (size_t i = 0; i < statistics->PhyCounters.size(); ++i) {
    if (i >= capability->dot11PhyTypes.size()) break;
    const uint32_t p = capability->dot11PhyTypes[i];
    if (p >= static_cast<uint32_t>(PhyTypeCount)) continue;
    PhyCounters[p] = statistics->PhyCounters[i];
    PhyPresent.Add(static_cast<int>(p));
  }
  for (int c = 0; c < PhyCounterCount; ++c) {
    uint64_t sum = 0;
    for (const auto& p : PhyCounters) sum += p[static_cast<size_t>(c)];
    PhyTotal[static_cast<size_t>(c)] = sum;
  }
  for (int c = 0; c < PhyCounterCount; ++c) {
    TPhyCountersData sample;
    sample.Time = t;
    for (size_t p = 0; p < PhyCounters.size(); ++p) sample.PerPhy[p] = PhyCounters[p][static_cast<size_t>(c)];
    sample.Total = PhyTotal[static_cast<size_t>(c)];
    TrimSeries(PhySeries(c), window, t);
    PhySeries(c).Add(sample);
  }
  TWlanObject::Update();
}

}  // namespace skimlet
