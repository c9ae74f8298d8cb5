#include "core/channels/air_log.h"

#include <cctype>
#include <cmath>

namespace skimlet {

std::optional<double> TChannelAirLog::TChannelRecord::BusyShare() const {
  if (TimedMeasurements == 0 || ActiveMs - TxMs <= 0) return std::nullopt;
  const double share = (BusyMs - TxMs) / (ActiveMs - TxMs);
  return share < 0 ? 0 : share > 1 ? 1 : share;
}

std::optional<double> TChannelAirLog::TChannelRecord::NoiseDbm() const {
  if (NoiseCount == 0 || NoiseMilliwattSum <= 0) return std::nullopt;
  return 10 * std::log10(NoiseMilliwattSum / NoiseCount);
}

void TChannelAirLog::AddRefresh(std::span<const TAirNetwork> heard, std::span<const TChannelSurvey> survey) {
  const int refresh = refreshes_++;
  for (const TAirNetwork& n : heard) {
    TNetworkRecord& r = networks_[TKey{n.BSSID, n.Band, n.Channel, n.CenterMHz, n.WidthMHz, n.Center2MHz}];
    if (r.LastRefresh == refresh) continue;
    r.LastRefresh = refresh;
    r.Last = n;
    ++r.Heard;
    r.MilliwattSum += std::pow(10.0, n.SignalDbm / 10);
    if (n.SignalDbm > r.StrongestDbm) r.StrongestDbm = n.SignalDbm;
    if (n.UtilizationPercent >= 0) {
      r.UtilizationSum += n.UtilizationPercent;
      ++r.UtilizationCount;
    }
    r.EverConnected |= n.Connected;
    if (n.Country.size() >= 2 && std::isalpha(static_cast<unsigned char>(n.Country[0])) &&
        std::isalpha(static_cast<unsigned char>(n.Country[1]))) {
      std::string code{static_cast<char>(std::toupper(static_cast<unsigned char>(n.Country[0]))),
                       static_cast<char>(std::toupper(static_cast<unsigned char>(n.Country[1])))};
      ++countries_[code];
    }
  }
  AddSurvey(survey);
}

void TChannelAirLog::AddSurvey(std::span<const TChannelSurvey> survey) {
  for (const TChannelSurvey& s : survey) {
    if (s.FrequencyMHz == 0) continue;
    TChannelRecord& c = channels_[s.FrequencyMHz];
    ++c.Measurements;
    if (s.ActiveMs && s.BusyMs && *s.ActiveMs > 0) {
      c.ActiveMs += static_cast<double>(*s.ActiveMs);
      c.BusyMs += static_cast<double>(*s.BusyMs);
      c.TxMs += static_cast<double>(s.TxMs.value_or(0));
      ++c.TimedMeasurements;
    }
    if (s.NoiseDbm) {
      c.NoiseMilliwattSum += std::pow(10.0, *s.NoiseDbm / 10.0);
      ++c.NoiseCount;
    }
  }
}

void TChannelAirLog::Clear() { *this = TChannelAirLog{}; }

std::string TChannelAirLog::Country() const {
  std::string best;
  int most = 0;
  for (const auto& [code, count] : countries_)
    if (count > most) {
      best = code;
      most = count;
    }
  return best;
}

}  // namespace skimlet
