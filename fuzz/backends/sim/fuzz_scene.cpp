// Arbitrary bytes as a scene file. A scene that parses must give beacons the service can hand out: every
// access point's beacon and entry are built for the signal it is heard at.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "backends/sim/scene.h"
#include "core/service/wlan_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skimlet;
  using namespace skimlet::sim;
  SceneResult r = ParseScene(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.scene");
  if (!r.Value) {
    if (r.Error.empty()) std::abort();
    return 0;
  }
  for (const SceneAccessPoint& ap : r.Value->AccessPoints) {
    if (ap.SSID.size() > 32) std::abort();
    Beacon b = BuildBeacon(ap, ap.Rssi, 0);
    if (b.Entry.dot11Ssid.uSSIDLength > 32 || b.Entry.uLinkQuality > 100) std::abort();
    WlanBssListItem item{b.Entry, b.Blob};
    WlanBlock list = EncodeBssList(std::span(&item, 1));
    WlanBssListView view(list);
    if (view.Count() != 1 || !view.Blob(0) || view.Blob(0)->size() != b.Blob.size()) std::abort();
  }
  return 0;
}
