// skimlet-cli networks: the network list of a saved survey.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/snapshot_input.h"
#include "core/base/datetime.h"
#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/util.h"
#include "core/model/radio/values.h"

namespace skimlet::cli {

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli networks FILE [--tsv | --table | --json]\n"
    "\n"
    "Prints the networks of a snapshot or a pcap/pcapng capture file (told apart by content), one row per\n"
    "network with the 32 columns of the network list.\n"
    "\n"
    "  --tsv     tab-separated, a header line of column titles first (the default when the output is no terminal)\n"
    "  --table   columns aligned with blanks (the default on a terminal)\n"
    "  --json    an array of objects with typed values, times in ISO 8601 local time and the element blob as hex\n";

// Texts stay on one line and one cell: TAB and line breaks become blanks.
std::string Cell(std::string s) {
  for (char& c : s)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return s;
}

size_t DisplayWidth(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string Json(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

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

std::string NetworkJson(const TWLANNetwork& n) {
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
  std::string out = "  {";
  for (size_t i = 0; i < fields.size(); ++i) out += std::string(i ? ", " : "") + "\"" + fields[i].first + "\": " + fields[i].second;
  return out + "}";
}

}  // namespace

int RunNetworks(const Args& args) {
  enum class Output { Auto, TSV, Table, JSON } output = Output::Auto;
  std::string file;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--tsv") output = Output::TSV;
    else if (a == "--table") output = Output::Table;
    else if (a == "--json") output = Output::JSON;
    else if (a.starts_with("-") || !file.empty()) {
      std::fprintf(stderr, "skimlet-cli networks: unexpected argument '%s'\n\n%s", a.c_str(), kUsage);
      return 2;
    } else file = a;
  }
  if (file.empty()) {
    std::fprintf(stderr, "skimlet-cli networks: FILE is required\n\n%s", kUsage);
    return 2;
  }
  if (output == Output::Auto) output = ::isatty(STDOUT_FILENO) ? Output::Table : Output::TSV;

  std::string error;
  auto loaded = LoadNetworks(file, error);
  if (!loaded) {
    std::fprintf(stderr, "skimlet-cli networks: %s\n", error.c_str());
    return 1;
  }
  const auto& items = loaded->List->Items;
  std::string out;
  if (output == Output::JSON) {
    out = "[\n";
    for (size_t i = 0; i < items.size(); ++i) out += NetworkJson(*items[i]) + (i + 1 < items.size() ? ",\n" : "\n");
    out += "]\n";
  } else {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header;
    for (int c = 0; c < NetworkColumnCount; ++c) header.push_back(Cell(Translate("ListColumns" + std::to_string(c))));
    rows.push_back(header);
    for (const auto& n : items) {
      std::vector<std::string> row;
      for (int c = 0; c < NetworkColumnCount; ++c) row.push_back(Cell(n->GetColumnText(c)));
      rows.push_back(std::move(row));
    }
    std::vector<size_t> width(NetworkColumnCount, 0);
    if (output == Output::Table)
      for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], DisplayWidth(row[c]));
    for (const auto& row : rows) {
      std::string line;
      for (size_t c = 0; c < row.size(); ++c) {
        if (output == Output::TSV) {
          line += (c ? "\t" : "") + row[c];
        } else if (width[c] > 0) {
          if (!line.empty()) line += "  ";
          line += row[c] + std::string(width[c] - DisplayWidth(row[c]), ' ');
        }
      }
      while (output == Output::Table && !line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace skimlet::cli
