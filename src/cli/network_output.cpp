#include "cli/network_output.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "cli/display_width.h"
#include "cli/language.h"
#include "core/base/safe_text.h"
#include "core/ie/util.h"
#include "core/model/columns.h"
#include "core/radio/values.h"

namespace skimlet::cli {

namespace {

// Texts stay on one line and one cell, and control and direction characters are shown, not obeyed.
std::string Cell(const std::string& s) { return SafeText(s, SafeTextStyle::Terminal); }

std::string Json(const std::string& s) { return "\"" + SafeText(s, SafeTextStyle::Json) + "\""; }
// A text that is unknown while empty.
std::string JsonText(const std::string& s) { return s.empty() ? "null" : Json(s); }

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

std::string JsonArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + items[i];
  return out + "]";
}

std::string Joined(const std::vector<std::string>& items, const char* separator) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) out += (i ? separator : "") + items[i];
  return out;
}

// The values of one network with one meaning each, shared by JSON and TSV.
struct Values {
  const TWLANNetwork& N;

  // A network that hides its name sends no SSID, or one of blanks or zero bytes.
  bool Hidden() const { return N.SSID.find_first_not_of(' ') == std::string::npos; }
  std::string SsidHex() const {
    const size_t length = std::min<size_t>(N.Entry.dot11Ssid.uSSIDLength, N.Entry.dot11Ssid.ucSSID.size());
    return BytesToHex(Bytes(N.Entry.dot11Ssid.ucSSID.data(), length), "");
  }
  // -100 dBm is what a source reports when it measured nothing; 0 and above is no received signal either.
  std::optional<int> LastSignal() const {
    if (N.RSSI <= -100 || N.RSSI >= 0) return std::nullopt;
    return N.RSSI;
  }
  // Values of the moment: known only while the network is heard.
  std::optional<int> Signal() const { return N.Active ? LastSignal() : std::nullopt; }
  std::optional<int> Quality() const {
    if (!N.Active || !LastSignal()) return std::nullopt;
    return static_cast<int>(N.LinkQuality);
  }
  std::optional<int> Utilization() const {
    if (!N.Active || N.ChannelUtilization < 0) return std::nullopt;
    return N.ChannelUtilization;
  }
  std::optional<int> Clients() const {
    if (!N.Active || N.StationCount < 0) return std::nullopt;
    return N.StationCount;
  }
  std::optional<double> Achievable() const {
    if (!N.Active || N.AchievableRate <= 0) return std::nullopt;
    return N.AchievableRate;
  }
  static std::optional<double> Rate(double r) { return r > 0 ? std::optional<double>(r) : std::nullopt; }

  std::optional<uint32_t> Channel() const { return N.Channel > 0 ? std::optional<uint32_t>(N.Channel) : std::nullopt; }
  // The frequency the network was heard on: its primary 20 MHz channel.
  std::optional<double> PrimaryMHz() const {
    uint32_t kHz = N.Channel > 0 ? ChannelToFrequency(N.Channel, N.Band) : 0;
    if (kHz == 0) kHz = N.CenterFrequency;
    return kHz > 0 ? std::optional<double>(kHz / 1000.0) : std::nullopt;
  }
  // The centre channel of the whole channel (of its first segment for 80+80 MHz).
  std::optional<uint32_t> CenterChannel() const {
    uint32_t c = 0;
    switch (N.ChannelWidth) {
      case 1:
        if (N.SecondaryChannel == 0) c = N.CenterChannel0;
        else c = (N.Channel + N.SecondaryChannel) / 2;
        break;
      case 2:
      case 4: c = N.CenterChannel0; break;
      case 3:
      case kWidth320: c = N.CenterChannel1; break;
      default: c = N.Channel; break;
    }
    return c > 0 ? std::optional<uint32_t>(c) : std::nullopt;
  }
  std::optional<uint32_t> SecondCenterChannel() const {
    return N.ChannelWidth == 4 && N.CenterChannel1 > 0 ? std::optional<uint32_t>(N.CenterChannel1) : std::nullopt;
  }
  std::optional<double> MHzOf(std::optional<uint32_t> channel) const {
    if (!channel) return std::nullopt;
    const uint32_t kHz = ChannelToFrequency(*channel, N.Band);
    return kHz > 0 ? std::optional<double>(kHz / 1000.0) : std::nullopt;
  }
  std::optional<double> CenterMHz() const {
    if (N.ChannelWidth == 0 && N.Channel == 0) return PrimaryMHz();
    return MHzOf(CenterChannel());
  }
  std::optional<uint32_t> SecondaryChannel() const {
    return N.SecondaryChannel > 0 ? std::optional<uint32_t>(N.SecondaryChannel) : std::nullopt;
  }
  std::optional<double> BandGHz() const {
    if (N.CenterFrequency == 0 && N.Channel == 0) return std::nullopt;
    switch (N.Band) {
      case kBand24GHz: return 2.4;
      case kBand5GHz: return 5;
      case kBand6GHz: return 6;
      default: return std::nullopt;
    }
  }
  std::optional<uint32_t> WidthMHz() const {
    const uint32_t kHz = WidthKHz(N.ChannelWidth);
    return kHz > 0 ? std::optional<uint32_t>(kHz / 1000) : std::nullopt;
  }
  std::vector<std::string> PhyModes() const {
    std::vector<std::string> out;
    for (int p = 0; p <= kPhyTypeLast; ++p)
      if (N.PhyTypes.Contains(p) && !PhyTypeLetters(p).empty()) out.push_back(PhyTypeLetters(p));
    return out;
  }
  std::vector<std::string> SecurityKinds() const {
    std::vector<std::string> out;
    for (int k = 1; k <= kSecurityKindLast; ++k)
      if (N.SecurityKinds.Contains(k)) out.push_back(SecurityKindName(k));
    return out;
  }
  std::string PMF() const {
    switch (N.PMF) {
      case kPMFRequired: return "required";
      case kPMFCapable: return "capable";
      default: return "no";
    }
  }
  std::vector<std::string> Roaming() const {
    std::vector<std::string> out;
    if (N.Roaming & kRoaming11k) out.push_back("802.11k");
    if (N.Roaming & kRoaming11v) out.push_back("802.11v");
    if (N.Roaming & kRoaming11r) out.push_back("802.11r");
    return out;
  }
  std::string WPSState() const {
    switch (N.WPSState) {
      case 1: return "not configured";
      case 2: return "configured";
      case 3: return "locked";
      default: return {};
    }
  }
  std::vector<std::string> Rates() const {
    std::vector<std::string> out;
    for (double r : N.Rates) out.push_back(Number(r));
    return out;
  }
};

template <typename T>
std::string JsonOpt(const std::optional<T>& v) {
  return v ? Number(static_cast<double>(*v)) : "null";
}

template <typename T>
std::string TsvOpt(const std::optional<T>& v, const char* unit = "") {
  return v ? Number(static_cast<double>(*v)) + unit : std::string();
}

// One cell of the machine formats. Raw: numbers without units.
std::string MachineCell(const TWLANNetwork& n, int column, bool raw) {
  const Values v{n};
  switch (column) {
    case kColumnActive: return n.Active ? "yes" : "no";
    case kColumnHidden: return v.Hidden() ? "yes" : "no";
    case kColumnSsidHex: return v.SsidHex();
    case kColumnLastSignal: return TsvOpt(v.LastSignal(), raw ? "" : " dBm");
    default: break;
  }
  using C = TNetworkColumn;
  switch (static_cast<C>(column)) {
    case C::Marker: return {};
    case C::SSID: return v.Hidden() ? std::string() : Cell(n.SSID);
    case C::SignalStrength: return TsvOpt(v.Signal(), raw ? "" : " dBm");
    case C::SignalQuality: return TsvOpt(v.Quality(), raw ? "" : "%");
    case C::ChannelUtilization: return TsvOpt(v.Utilization(), raw ? "" : "%");
    case C::Clients: return TsvOpt(v.Clients());
    case C::AchievableRate: return TsvOpt(v.Achievable(), raw ? "" : " Mbps");
    case C::MinimumRate: return TsvOpt(Values::Rate(n.MinRate), raw ? "" : " Mbps");
    case C::MaximumRate: return TsvOpt(Values::Rate(n.MaxRate), raw ? "" : " Mbps");
    case C::FirstSeen: return IsoTime(n.FirstSeen);
    case C::LastSeen: return IsoTime(n.LastSeen);
    case C::PMF: return v.PMF();
    case C::Roaming: return Joined(v.Roaming(), ",");
    case C::NetworkMode: return Joined(v.PhyModes(), ",");
    case C::WPS: return v.WPSState();
    default: break;
  }
  if (raw) {
    switch (static_cast<C>(column)) {
      case C::Channel: return TsvOpt(v.Channel());
      case C::Band: return TsvOpt(v.BandGHz());
      case C::Frequency: {
        std::string out = TsvOpt(v.CenterMHz());
        if (auto second = v.MHzOf(v.SecondCenterChannel())) out += "+" + Number(*second);
        return out;
      }
      case C::ChannelWidth: return TsvOpt(v.WidthMHz());
      case C::SupportedRates: return Joined(v.Rates(), ";");
      default: break;
    }
  }
  return Cell(NetworkCellText(n, column));
}

std::string MachineHeader(int column) {
  switch (column) {
    case kColumnActive: return "active";
    case kColumnHidden: return "hidden";
    case kColumnSsidHex: return "ssid_hex";
    case kColumnLastSignal: return "last_signal";
    default: return std::string(NetworkColumnName(NetworkColumnAt(static_cast<size_t>(column))));
  }
}

// Without regard to letter case: "SSID" and "Last_Seen" name their columns too.
std::optional<int> ColumnByName(std::string_view given) {
  std::string name(given);
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  for (int extra : {kColumnActive, kColumnHidden, kColumnSsidHex, kColumnLastSignal})
    if (MachineHeader(extra) == name) return extra;
  if (auto c = NetworkColumnByName(name); c && *c != TNetworkColumn::Marker) return ColumnIndex(*c);
  return std::nullopt;
}

}  // namespace

std::string IsoTime(LocalDateTime t) {
  if (!std::isfinite(t) || t <= 0 || t > 2958466) return {};  // no date, or after 9999
  const TDateTimeParts p = DecodeLocalDateTime(t);
  const long offset = 60L * LocalUtcOffsetMinutes(t);
  char zone[16] = "Z";
  if (offset != 0) {
    const int a = static_cast<int>(std::min(offset < 0 ? -offset : offset, 86399L));
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', a / 3600, a / 60 % 60);
  }
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d%s", p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second,
                zone);
  return buf;
}

std::string JsonTime(LocalDateTime t) { return JsonText(IsoTime(t)); }

std::string NetworkJson(const TWLANNetwork& n) {
  const MachineTexts english;
  const Values v{n};
  std::vector<std::string> phy, security, roaming;
  for (const std::string& p : v.PhyModes()) phy.push_back(Json(p));
  for (const std::string& s : v.SecurityKinds()) security.push_back(Json(s));
  for (const std::string& r : v.Roaming()) roaming.push_back(Json(r));
  std::string wps = "null";
  if (n.WPSState != 0)
    wps = "{\"state\": " + Json(v.WPSState()) + ", \"version\": " + JsonText(n.WPSVersion) +
          ", \"deviceName\": " + JsonText(n.DeviceName) + ", \"modelName\": " + JsonText(n.DeviceModelName) +
          ", \"modelNumber\": " + JsonText(n.DeviceModelNumber) +
          ", \"manufacturer\": " + JsonText(n.DeviceManufacturer) + "}";
  const std::vector<std::pair<const char*, std::string>> fields = {
      {"bssid", Json(n.BSSIDText)},
      {"ssid", v.Hidden() ? "null" : Json(n.SSID)},
      {"ssidHex", Json(v.SsidHex())},
      {"hidden", v.Hidden() ? "true" : "false"},
      {"vendor", JsonText(n.Vendor)},
      {"comment", JsonText(n.Comment)},
      {"active", n.Active ? "true" : "false"},
      {"signalDbm", JsonOpt(v.Signal())},
      {"lastSignalDbm", JsonOpt(v.LastSignal())},
      {"linkQualityPercent", JsonOpt(v.Quality())},
      {"networkType", JsonText(n.BssTypeText())},
      {"phyModes", JsonArray(phy)},
      {"channel", JsonOpt(v.Channel())},
      {"primaryFrequencyMHz", JsonOpt(v.PrimaryMHz())},
      {"centerChannel", JsonOpt(v.CenterChannel())},
      {"centerFrequencyMHz", JsonOpt(v.CenterMHz())},
      {"secondCenterChannel", JsonOpt(v.SecondCenterChannel())},
      {"secondCenterFrequencyMHz", JsonOpt(v.MHzOf(v.SecondCenterChannel()))},
      {"secondaryChannel", JsonOpt(v.SecondaryChannel())},
      {"bandGHz", JsonOpt(v.BandGHz())},
      {"channelWidthMHz", JsonOpt(v.WidthMHz())},
      {"channelWidth", JsonText(n.WidthText())},
      {"txStreams", n.TxStreams > 0 ? std::to_string(n.TxStreams) : "null"},
      {"rxStreams", n.RxStreams > 0 ? std::to_string(n.RxStreams) : "null"},
      {"channelUtilizationPercent", JsonOpt(v.Utilization())},
      {"stationCount", JsonOpt(v.Clients())},
      {"security", JsonArray(security)},
      {"securityMode", JsonText(n.SecurityModeText())},
      {"encryption", JsonText(n.CipherText())},
      {"authentication", JsonText(n.AuthenticationText())},
      {"pmf", Json(v.PMF())},
      {"roaming", JsonArray(roaming)},
      {"wps", wps},
      {"country", JsonText(n.CountryCode)},
      {"achievableRateMbps", JsonOpt(v.Achievable())},
      {"minRateMbps", JsonOpt(Values::Rate(n.MinRate))},
      {"maxRateMbps", JsonOpt(Values::Rate(n.MaxRate))},
      {"ratesMbps", JsonArray(v.Rates())},
      {"firstSeen", JsonTime(n.FirstSeen)},
      {"lastSeen", JsonTime(n.LastSeen)},
      {"elementsHex", Json(BytesToHex(n.Elements.Data, ""))},
  };
  std::string out = "{";
  for (size_t i = 0; i < fields.size(); ++i)
    out += std::string(i ? ", " : "") + "\"" + fields[i].first + "\": " + fields[i].second;
  return out + "}";
}

std::string JsonString(const std::string& s) { return Json(s); }

NetworkOutput ResolveOutput(NetworkOutput output) {
  if (output != NetworkOutput::Auto) return output;
  return ::isatty(STDOUT_FILENO) ? NetworkOutput::Table : NetworkOutput::TSV;
}

bool TakeOutputOption(const std::vector<std::string>& args, size_t& i, OutputOptions& options, std::string& error) {
  const std::string& a = args[i];
  static constexpr std::pair<const char*, NetworkOutput> kFormats[] = {
      {"--tsv", NetworkOutput::TSV}, {"--table", NetworkOutput::Table}, {"--json", NetworkOutput::JSON}};
  for (const auto& [name, format] : kFormats) {
    if (a != name) continue;
    if (options.Format != NetworkOutput::Auto && options.Format != format)
      error = "--tsv, --table and --json each choose the output: give one of them";
    options.Format = format;
    return true;
  }
  if (a == "--raw") options.Raw = true;
  else if (a == "--columns" || a.starts_with("--columns=")) {
    std::string list;
    if (a == "--columns") {
      if (i + 1 >= args.size()) {
        error = "--columns needs a list of column names";
        return true;
      }
      list = args[++i];
    } else {
      list = a.substr(10);
    }
    options.Columns.clear();
    for (size_t at = 0; at <= list.size();) {
      size_t comma = std::min(list.find(',', at), list.size());
      const std::string name = list.substr(at, comma - at);
      auto column = ColumnByName(name);
      if (!column) {
        error = "unknown column '" + name + "' in --columns (the columns: " + ColumnNamesText() + ")";
        return true;
      }
      options.Columns.push_back(*column);
      at = comma + 1;
    }
  } else {
    return false;
  }
  return true;
}

std::string FinishOutputOptions(OutputOptions& options) {
  const bool explicitFormat = options.Format != NetworkOutput::Auto;
  options.Format = ResolveOutput(options.Format);
  if (options.Raw && options.Format != NetworkOutput::TSV)
    return explicitFormat ? "--raw goes with --tsv only" : "--raw goes with --tsv only (the output is a terminal)";
  if (!options.Columns.empty() && options.Format == NetworkOutput::JSON)
    return "--columns goes with --tsv and --table; JSON has every field";
  if (options.Columns.empty())
    for (const TNetworkColumnInfo& c : NetworkColumns())
      if (c.Id != TNetworkColumn::Marker) options.Columns.push_back(ColumnIndex(c.Id));
  return {};
}

std::string ColumnNamesText() {
  std::string out;
  for (const TNetworkColumnInfo& c : NetworkColumns())
    if (c.Id != TNetworkColumn::Marker) out += (out.empty() ? "" : ", ") + std::string(NetworkColumnName(c.Id));
  for (int extra : {kColumnActive, kColumnHidden, kColumnSsidHex, kColumnLastSignal})
    out += ", " + MachineHeader(extra);
  return out;
}

std::string TsvHeader(const OutputOptions& options, const std::string& prefix) {
  std::string line = prefix;
  for (int c : options.Columns) line += (line.empty() && prefix.empty() ? "" : "\t") + MachineHeader(c);
  return line + "\n";
}

std::string TsvRows(const std::vector<std::unique_ptr<TWLANNetwork>>& items, const OutputOptions& options,
                    const std::string& prefixValue) {
  const MachineTexts english;
  std::string out;
  for (const auto& n : items) {
    if (options.Keep && !options.Keep(*n)) continue;
    std::string line = prefixValue;
    bool first = prefixValue.empty();
    for (int c : options.Columns) {
      line += (first ? "" : "\t") + MachineCell(*n, c, options.Raw);
      first = false;
    }
    out += line + "\n";
  }
  return out;
}

std::string TableText(const std::vector<std::unique_ptr<TWLANNetwork>>& items, const OutputOptions& options) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> header;
  for (int c : options.Columns)
    header.push_back(c < static_cast<int>(kNetworkColumnCount)
                         ? Cell(NetworkColumnTitle(NetworkColumnAt(static_cast<size_t>(c))))
                         : MachineHeader(c));
  rows.push_back(header);
  for (const auto& n : items) {
    if (options.Keep && !options.Keep(*n)) continue;
    std::vector<std::string> row;
    for (int c : options.Columns) {
      const bool listColumn = c < static_cast<int>(kNetworkColumnCount);
      row.push_back(listColumn ? Cell(NetworkCellText(*n, c)) : MachineCell(*n, c, false));
    }
    rows.push_back(std::move(row));
  }
  std::vector<size_t> width(options.Columns.size(), 0);
  for (const auto& row : rows)
    for (size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], DisplayWidth(row[c]));
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      if (width[c] == 0) continue;
      if (!line.empty()) line += "  ";
      line += row[c] + std::string(width[c] - DisplayWidth(row[c]), ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

std::string NetworksJsonArray(const std::vector<std::unique_ptr<TWLANNetwork>>& items, bool oneLine,
                              const std::function<bool(const TWLANNetwork&)>& keep) {
  std::string out;
  for (const auto& n : items) {
    if (keep && !keep(*n)) continue;
    out += out.empty() ? (oneLine ? "[" : "[\n") : (oneLine ? ", " : ",\n");
    if (!oneLine) out += "  ";
    out += NetworkJson(*n);
  }
  if (out.empty()) return "[]";
  return out + (oneLine ? "]" : "\n]");
}

}  // namespace skimlet::cli
