// What several refreshes heard and measured, kept for channel advice: every network with how often and how
// strongly it was heard and the load it announced, and every surveyed channel with its summed times and
// noise. Advice from one refresh would follow every passing fade; the log averages over all it was given.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <tuple>

#include "core/channels/survey.h"

namespace skimlet {

// One network as one refresh heard it.
struct TAirNetwork {
  std::string BSSID;  // identifies the network across refreshes
  std::string SSID;
  int Band = 0;          // 0 2.4 GHz, 1 5 GHz, 2 6 GHz
  uint32_t Channel = 0;  // the primary channel
  // The channel it occupies: centre frequency and width in MHz; an 80+80 MHz channel has its second 80 MHz
  // segment at Center2MHz (0 otherwise).
  uint32_t CenterMHz = 0;
  uint32_t WidthMHz = 20;
  uint32_t Center2MHz = 0;
  double SignalDbm = -100;
  int32_t UtilizationPercent = -1;  // the channel utilisation of its BSS Load element; -1 not announced
  bool Connected = false;           // the interface is associated with it
  std::string Country;              // the two letters of its Country element; empty without one
};

class TChannelAirLog {
 public:
  // A network is kept apart per channel it was heard on: one that moved counts on each with its share.
  struct TKey {
    std::string BSSID;
    int Band = 0;
    uint32_t Channel = 0, CenterMHz = 0, WidthMHz = 0, Center2MHz = 0;
    auto operator<=>(const TKey&) const = default;
  };
  struct TNetworkRecord {
    TAirNetwork Last;         // as last heard
    int Heard = 0;            // refreshes that heard it
    double MilliwattSum = 0;  // its signal in mW, summed over those refreshes
    double StrongestDbm = -1000;
    double UtilizationSum = 0;  // percent, over the refreshes that heard it announce a load
    int UtilizationCount = 0;
    bool EverConnected = false;
    int LastRefresh = -1;

    double MeanMilliwatts() const { return Heard > 0 ? MilliwattSum / Heard : 0; }
    std::optional<double> MeanUtilization() const {
      if (UtilizationCount == 0) return std::nullopt;
      return UtilizationSum / UtilizationCount;
    }
  };
  struct TChannelRecord {
    int Measurements = 0;
    // Sums over the records that gave both active and busy time; transmit time counts as 0 where missing.
    double ActiveMs = 0, BusyMs = 0, TxMs = 0;
    int TimedMeasurements = 0;
    double NoiseMilliwattSum = 0;
    int NoiseCount = 0;

    // The share of the active time the medium was busy with others' transmissions: (busy - tx) / (active - tx).
    std::optional<double> BusyShare() const;
    // The mean noise, averaged as power, in dBm.
    std::optional<double> NoiseDbm() const;
  };

  // One refresh: the networks it heard and the survey records measured over it (either may be empty). A
  // network heard twice in one refresh counts once, with its first reading.
  void AddRefresh(std::span<const TAirNetwork> heard, std::span<const TChannelSurvey> survey = {});
  // Survey records measured apart from a refresh.
  void AddSurvey(std::span<const TChannelSurvey> survey);
  void Clear();

  int Refreshes() const { return refreshes_; }
  const std::map<TKey, TNetworkRecord>& Networks() const { return networks_; }
  // Surveyed channels by centre frequency in MHz.
  const std::map<uint32_t, TChannelRecord>& Channels() const { return channels_; }
  // The country the networks announced most often (ties: the first in alphabetical order); empty when none did.
  std::string Country() const;

 private:
  int refreshes_ = 0;
  std::map<TKey, TNetworkRecord> networks_;
  std::map<uint32_t, TChannelRecord> channels_;
  std::map<std::string, int> countries_;
};

}  // namespace skimlet
