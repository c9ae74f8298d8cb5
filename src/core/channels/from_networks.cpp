#include "core/channels/from_networks.h"

#include "core/channels/channel_plan.h"
#include "core/radio/values.h"

namespace skimlet {

TAirNetwork AirNetworkOf(const TWLANNetwork& n) {
  TAirNetwork a;
  a.BSSID = n.BSSIDText;
  a.SSID = n.SSID;
  a.Band = n.Band;
  a.Channel = n.Channel;
  a.SignalDbm = n.RSSI;
  a.UtilizationPercent = n.ChannelUtilization;
  a.Connected = n.Connected;
  a.Country = n.CountryCode.substr(0, 2);
  const int band = n.Band;
  auto mhz = [band](uint32_t channel) { return RasterFrequency(band, channel); };
  a.CenterMHz = mhz(n.Channel);
  a.WidthMHz = 20;
  switch (n.ChannelWidth) {
    case 1:
      if (n.SecondaryChannel != 0) a.CenterMHz = (mhz(n.Channel) + mhz(n.SecondaryChannel)) / 2;
      else if (n.CenterChannel0 != 0) a.CenterMHz = mhz(n.CenterChannel0);
      else break;
      a.WidthMHz = 40;
      break;
    case 2:
      if (n.CenterChannel0 == 0) break;
      a.CenterMHz = mhz(n.CenterChannel0);
      a.WidthMHz = 80;
      break;
    case 3:
    case kWidth320: {
      const uint32_t centre = n.CenterChannel1 != 0 ? n.CenterChannel1 : n.CenterChannel0;
      if (centre == 0) break;
      a.CenterMHz = mhz(centre);
      a.WidthMHz = n.ChannelWidth == 3 ? 160 : 320;
      break;
    }
    case 4:
      if (n.CenterChannel0 == 0 || n.CenterChannel1 == 0) break;
      a.CenterMHz = mhz(n.CenterChannel0);
      a.Center2MHz = mhz(n.CenterChannel1);
      a.WidthMHz = 80;
      break;
    default: break;
  }
  return a;
}

std::vector<TAirNetwork> HeardNetworks(const TWLANNetworkList& list) {
  std::vector<TAirNetwork> out;
  out.reserve(list.Items.size());
  for (const auto& n : list.Items)
    if (n->Active && n->Band <= 2 && n->Channel != 0) out.push_back(AirNetworkOf(*n));
  return out;
}

}  // namespace skimlet
