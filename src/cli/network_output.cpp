#include "cli/network_output.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "core/base/datetime.h"
#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/ie/util.h"
#include "core/model/columns.h"
#include "core/radio/values.h"

namespace skimlet::cli {

namespace {

// Texts stay on one line and one cell, and control and direction characters are shown, not obeyed.
std::string Cell(const std::string& s) { return SafeText(s, SafeTextStyle::Terminal); }

size_t DisplayWidth(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string Json(const std::string& s) { return "\"" + SafeText(s, SafeTextStyle::Json) + "\""; }

std::string JsonNumber(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

// A count that is unknown while negative.
std::string JsonCount(int64_t v) { return v < 0 ? "null" : std::to_string(v); }

std::string JsonArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + items[i];
  return out + "]";
}

}  // namespace

std::string NetworkJson(const TWLANNetwork& n, const std::string& indent) {
  std::vector<std::string> phy, security, rates;
  for (int p = 0; p <= 10; ++p)
    if (n.PhyTypes.Contains(p)) phy.push_back(Json(PhyTypeLetters(p)));
  for (int k = 1; k <= 5; ++k)
    if (n.SecurityKinds.Contains(k)) security.push_back(Json(SecurityKindName(k)));
  for (double r : n.Rates) rates.push_back(JsonNumber(r));
  std::vector<std::pair<const char*, std::string>> fields = {
      {"ssid", Json(n.SSID)},
      {"bssid", Json(n.BSSIDText)},
      {"comment", Json(n.Comment)},
      {"vendor", Json(n.Vendor)},
      {"active", n.Active ? "true" : "false"},
      {"rssiDbm", std::to_string(n.RSSI)},
      {"linkQuality", std::to_string(n.LinkQuality)},
      {"networkType", Json(n.BssTypeText())},
      {"phyModes", JsonArray(phy)},
      {"channel", std::to_string(n.Channel)},
      {"channelText", Json(n.ChannelText())},
      {"centerChannel0", std::to_string(n.CenterChannel0)},
      {"centerChannel1", std::to_string(n.CenterChannel1)},
      {"secondaryChannel", std::to_string(n.SecondaryChannel)},
      {"band", Json(n.BandText())},
      {"centerFrequencyKHz", std::to_string(n.CenterFrequency)},
      {"channelWidthMHz", std::to_string(WidthKHz(n.ChannelWidth) / 1000)},
      {"channelWidth", Json(n.WidthText())},
      {"txStreams", std::to_string(n.TxStreams)},
      {"rxStreams", std::to_string(n.RxStreams)},
      {"channelUtilization", JsonCount(n.ChannelUtilization)},
      {"stationCount", JsonCount(n.StationCount)},
      {"security", JsonArray(security)},
      {"securityMode", Json(n.SecurityModeText())},
      {"encryption", Json(n.CipherText())},
      {"authentication", Json(n.AuthenticationText())},
      {"wps", Json(n.WPSStateText())},
      {"wpsVersion", Json(n.WPSVersion)},
      {"deviceName", Json(n.DeviceName)},
      {"deviceModelName", Json(n.DeviceModelName)},
      {"deviceModelNumber", Json(n.DeviceModelNumber)},
      {"deviceManufacturer", Json(n.DeviceManufacturer)},
      {"country", Json(n.CountryCode)},
      {"achievableRateMbps", JsonNumber(n.AchievableRate)},
      {"minRateMbps", JsonNumber(n.MinRate)},
      {"maxRateMbps", JsonNumber(n.MaxRate)},
      {"ratesMbps", JsonArray(rates)},
      {"firstSeen", Json(LocalDateTimeToISO(n.FirstSeen))},
      {"lastSeen", Json(LocalDateTimeToISO(n.LastSeen))},
      {"elements", Json(BytesToHex(n.Elements.Data, ""))},
  };
  std::string out = indent + "{";
  for (size_t i = 0; i < fields.size(); ++i)
    out += std::string(i ? ", " : "") + "\"" + fields[i].first + "\": " + fields[i].second;
  return out + "}";
}

std::string JsonString(const std::string& s) { return Json(s); }

NetworkOutput ResolveOutput(NetworkOutput output) {
  if (output != NetworkOutput::Auto) return output;
  return ::isatty(STDOUT_FILENO) ? NetworkOutput::Table : NetworkOutput::TSV;
}

bool ParseOutputOption(const std::string& arg, NetworkOutput& output) {
  if (arg == "--tsv") output = NetworkOutput::TSV;
  else if (arg == "--table") output = NetworkOutput::Table;
  else if (arg == "--json") output = NetworkOutput::JSON;
  else return false;
  return true;
}

std::string FormatNetworks(const std::vector<std::unique_ptr<TWLANNetwork>>& items, NetworkOutput output) {
  output = ResolveOutput(output);
  std::string out;
  if (output == NetworkOutput::JSON) {
    out = "[\n";
    for (size_t i = 0; i < items.size(); ++i) out += NetworkJson(*items[i]) + (i + 1 < items.size() ? ",\n" : "\n");
    out += "]\n";
  } else {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header;
    for (const TNetworkColumnInfo& c : NetworkColumns()) header.push_back(Cell(NetworkColumnTitle(c.Id)));
    rows.push_back(header);
    for (const auto& n : items) {
      std::vector<std::string> row;
      for (const TNetworkColumnInfo& c : NetworkColumns()) row.push_back(Cell(NetworkCellText(*n, c.Id)));
      rows.push_back(std::move(row));
    }
    std::vector<size_t> width(kNetworkColumnCount, 0);
    if (output == NetworkOutput::Table)
      for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], DisplayWidth(row[c]));
    for (const auto& row : rows) {
      std::string line;
      for (size_t c = 0; c < row.size(); ++c) {
        if (output == NetworkOutput::TSV) {
          line += (c ? "\t" : "") + row[c];
        } else if (width[c] > 0) {
          if (!line.empty()) line += "  ";
          line += row[c] + std::string(width[c] - DisplayWidth(row[c]), ' ');
        }
      }
      while (output == NetworkOutput::Table && !line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
  }
  return out;
}

}  // namespace skimlet::cli
