#include "core/survey/recording.h"

#include <algorithm>
#include <map>

namespace skimlet::survey {

bool IsFresh(const WLAN_BSS_ENTRY& entry, double start) {
  return entry.ullHostTimestamp != 0 && UnixFromFiletime(entry.ullHostTimestamp) >= start;
}

Reading ReadingOf(const WLAN_BSS_ENTRY& entry) {
  Reading r;
  r.BSSID = entry.dot11Bssid;
  r.Signal = entry.lRssi;
  r.FrequencyKHz = entry.ulChCenterFrequency;
  return r;
}

size_t AddFreshReadings(Point& point, std::span<const WLAN_BSS_ENTRY> entries) {
  size_t stale = 0;
  std::map<Bssid, std::pair<uint64_t, size_t>> latest;  // BSSID: reception time, index in Readings
  for (size_t k = 0; k < point.Readings.size(); ++k) latest[point.Readings[k].BSSID] = {0, k};
  for (const WLAN_BSS_ENTRY& e : entries) {
    if (!IsFresh(e, point.Start)) {
      ++stale;
      continue;
    }
    auto it = latest.find(e.dot11Bssid);
    if (it == latest.end()) {
      latest[e.dot11Bssid] = {e.ullHostTimestamp, point.Readings.size()};
      point.Readings.push_back(ReadingOf(e));
    } else if (e.ullHostTimestamp >= it->second.first) {
      it->second.first = e.ullHostTimestamp;
      point.Readings[it->second.second] = ReadingOf(e);
    }
  }
  return stale;
}

std::optional<std::pair<double, double>> PositionAt(std::span<const Waypoint> w, double time) {
  if (w.empty() || time < w.front().Time || time > w.back().Time) return std::nullopt;
  for (size_t k = 1; k < w.size(); ++k) {
    if (time > w[k].Time) continue;
    const double span = w[k].Time - w[k - 1].Time;
    const double t = span > 0 ? (time - w[k - 1].Time) / span : 1.0;
    return std::make_pair(w[k - 1].X + (w[k].X - w[k - 1].X) * t, w[k - 1].Y + (w[k].Y - w[k - 1].Y) * t);
  }
  return std::make_pair(w.back().X, w.back().Y);
}

}  // namespace skimlet::survey
