#include "cli/graph_samples.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/graph/geometry.h"
#include "core/model/network.h"
#include "core/model/network_list.h"

namespace skimlet::cli {

namespace {

constexpr std::string_view kMagic = "skimlet-samples\t1";

std::string Number(double v) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return ec == std::errc() ? std::string(buffer, end) : "0";
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

bool FromHex(std::string_view hex, std::string& out) {
  if (hex.size() % 2 != 0) return false;
  out.clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (ec != std::errc() || end != hex.data() + i + 2) return false;
    out += static_cast<char>(value);
  }
  return true;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

template <class T>
bool Parse(std::string_view text, T& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  if constexpr (std::is_floating_point_v<T>) return std::isfinite(value);
  return true;
}

}  // namespace

std::string WriteGraphSamples(const TWLANNetworkList& list, const TGraphSamplesHeader& header,
                              const std::function<bool(const TWLANNetwork&)>& keep) {
  std::string out(kMagic);
  out += "\nvalue\t" + std::to_string(header.Value) + "\nwindow\t" + std::to_string(header.WindowMinutes) + "\nnow\t" +
         Number(header.Now) + "\n";
  for (const auto& network : list.Items) {
    if (keep && !keep(*network)) continue;
    out += "network\t" + network->BSSIDText + "\t" + std::to_string(network->GetColor()) + "\t" +
           Hex(network->GetDisplayName()) + "\n";
    const TWiFiSeries& series = network->TypedSeries();
    for (size_t i = 0; i < series.Count(); ++i) {
      const TWiFiSeriesData& s = series[i];
      out += "sample\t" + Number(s.Time) + "\t" + (s.Active ? "1" : "0") + "\t" + std::to_string(s.Quality) + "\t" +
             std::to_string(s.RSSI) + "\t" + Number(s.AchievableRate) + "\t" + std::to_string(s.ChannelUtilization) +
             "\t" + std::to_string(s.StationCount) + "\n";
    }
  }
  return out;
}

bool ReadGraphSamples(std::string_view text, TWLANNetworkList& list, TGraphSamplesHeader& header, std::string& error) {
  size_t lineNumber = 0;
  TWLANNetwork* current = nullptr;
  auto fail = [&](const std::string& what) {
    error = "samples line " + std::to_string(lineNumber) + ": " + what;
    return false;
  };
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    ++lineNumber;
    if (lineNumber == 1) {
      if (line != kMagic) return fail("not a sample list");
      continue;
    }
    if (line.empty()) continue;
    const std::vector<std::string_view> f = Fields(line);
    if (f[0] == "value" && f.size() == 2) {
      if (!Parse(f[1], header.Value) || header.Value < kQuantityRSSI || header.Value > kQuantityClients)
        return fail("bad value");
    } else if (f[0] == "window" && f.size() == 2) {
      if (!Parse(f[1], header.WindowMinutes) || header.WindowMinutes < 1 || header.WindowMinutes > 100000)
        return fail("bad window");
    } else if (f[0] == "now" && f.size() == 2) {
      if (!Parse(f[1], header.Now)) return fail("bad time");
    } else if (f[0] == "network" && f.size() == 4) {
      auto network = std::make_unique<TWLANNetwork>();
      TColor colour = 0;
      if (!Parse(f[2], colour) || !FromHex(f[3], network->SSID)) return fail("bad network");
      network->BSSIDText = std::string(f[1]);
      network->Checked = true;
      network->TypedSeries().Color = colour;
      current = &list.Append(std::move(network));
    } else if (f[0] == "sample" && f.size() == 8) {
      if (!current) return fail("a sample before any network");
      TWiFiSeriesData s;
      int active = 0;
      if (!Parse(f[1], s.Time) || !Parse(f[2], active) || !Parse(f[3], s.Quality) || !Parse(f[4], s.RSSI) ||
          !Parse(f[5], s.AchievableRate) || !Parse(f[6], s.ChannelUtilization) || !Parse(f[7], s.StationCount))
        return fail("bad sample");
      s.Active = active != 0;
      TWiFiSeries& series = current->TypedSeries();
      if (series.Count() >= SeriesSampleLimit) series.DeleteOldest();
      series.Add(s);
    } else {
      return fail("unknown line");
    }
  }
  if (lineNumber == 0) return fail("empty");
  return true;
}

}  // namespace skimlet::cli
