// A radiotap capture of many beacons from a number of access points, each beacon a realistic dual-stream
// 802.11ax blob (SSID, rates, RSN, HT, VHT, HE, WMM, WPS) with its own SSID, channel and signal.
#pragma once

#include <string>

#include "core/ie/builder.h"
#include "support/capture_writer.h"
#include "support/sample_beacon.h"

namespace skimlet::bench {

inline test::PcapWriter BeaconCapture(int beacons, int accessPoints) {
  std::vector<uint8_t> tail = test::SampleBeaconBlob();
  tail.erase(tail.begin(), tail.begin() + 2 + tail[1]);  // without its SSID element
  std::vector<std::vector<uint8_t>> frames;
  static constexpr uint16_t kChannels[] = {1, 6, 11, 36, 40, 44, 48, 149, 153, 157, 161};
  for (int ap = 0; ap < accessPoints; ++ap) {
    std::array<uint8_t, 6> bssid = {
        0x02, 0x5C, 0x1E, static_cast<uint8_t>(ap >> 16), static_cast<uint8_t>(ap >> 8), static_cast<uint8_t>(ap)};
    std::vector<uint8_t> blob = ElementBuilder().AddText(0, "Survey-AP-" + std::to_string(ap)).Blob();
    blob.insert(blob.end(), tail.begin(), tail.end());
    const uint16_t channel = kChannels[ap % std::size(kChannels)];
    const uint16_t mhz = channel < 14 ? 2407 + 5 * channel : 5000 + 5 * channel;
    frames.push_back(test::Concat(test::RadiotapHeader(mhz, 0), test::ManagementFrame(bssid, blob)));
  }
  test::PcapWriter w(127);
  for (int i = 0; i < beacons; ++i) {
    std::vector<uint8_t>& f = frames[static_cast<size_t>(i % accessPoints)];
    f[14] = static_cast<uint8_t>(-40 - (i * 7) % 50);  // antenna signal
    const uint64_t micros = uint64_t{1700000000} * 1000000 + uint64_t(i) * 1024;
    w.Add(static_cast<uint32_t>(micros / 1000000), static_cast<uint32_t>(micros % 1000000), f);
  }
  return w;
}

}  // namespace skimlet::bench
