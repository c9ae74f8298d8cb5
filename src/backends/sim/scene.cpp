#include "backends/sim/scene.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>

#include "core/base/atomic_file.h"
#include "core/base/hex.h"
#include "core/base/numfmt.h"
#include "core/beacon/beacon_reader.h"
#include "core/radio/values.h"
#include "core/model/snapshot_file.h"

namespace skimlet::sim {

namespace {

struct Word {
  std::string_view Text;
  Security Value;
};
constexpr Word kSecurityWords[] = {
    {"open", Security::Open},
    {"wep", Security::WEP},
    {"wpa", Security::WPA},
    {"wpa2", Security::WPA2},
    {"wpa-wpa2", Security::WPAWPA2},
    {"wpa3", Security::WPA3},
    {"wpa2-wpa3", Security::WPA2WPA3},
    {"owe", Security::OWE},
    {"wpa-enterprise", Security::WPAEnterprise},
    {"wpa2-enterprise", Security::WPA2Enterprise},
    {"wpa3-enterprise", Security::WPA3Enterprise},
};
struct PhyWordRow {
  std::string_view Text;
  Phy Value;
  uint32_t Type;
};
constexpr PhyWordRow kPhyWords[] = {
    {"b", Phy::B, 5},   {"a", Phy::A, 4},    {"g", Phy::G, 6},    {"n", Phy::N, 7},
    {"ac", Phy::AC, 8}, {"ax", Phy::AX, 10}, {"be", Phy::BE, 11},
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t start = i;
    while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
    if (i > start) out.push_back(s.substr(start, i - start));
  }
  return out;
}

// Thrown inside the parser; carries the message without file and line.
struct Bad {
  std::string What;
};

long Number(std::string_view s, long lo, long hi, std::string_view what) {
  long v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || v < lo || v > hi)
    throw Bad{std::string(what) + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
              ", not '" + std::string(s) + "'"};
  return v;
}

double Seconds(std::string_view s) {
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || !(v >= 0) || v > 1e7)
    throw Bad{"'" + std::string(s) + "' is not a number of seconds"};
  return v;
}

double Decimal(std::string_view s, double lo, double hi, std::string_view what) {
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || !(v >= lo) || !(v <= hi))
    throw Bad{std::string(what) + " must be a number from " + FloatToText(lo) + " to " + FloatToText(hi) + ", not '" +
              std::string(s) + "'"};
  return v;
}

// "X Y" in metres.
std::array<double, 2> Coordinates(std::string_view s, std::string_view what) {
  auto w = Words(s);
  if (w.size() != 2) throw Bad{std::string(what) + " is X Y in metres"};
  return {Decimal(w[0], -1e4, 1e4, what), Decimal(w[1], -1e4, 1e4, what)};
}

std::string TextString(std::string_view s);

void SetFloorKey(SceneFloor& f, std::string_view key, std::string_view value) {
  if (key == "name") {
    f.Name = TextString(value);
  } else if (key == "size") {
    auto w = Words(value);
    if (w.size() != 2) throw Bad{"size is W H in metres"};
    f.Width = Decimal(w[0], 0.5, 1e4, "the width");
    f.Height = Decimal(w[1], 0.5, 1e4, "the height");
  } else if (key == "plan") {
    f.Plan = TextString(value);
  } else if (key == "wall") {
    auto w = Words(value);
    if (w.size() != 5) throw Bad{"wall is X1 Y1 X2 Y2 LOSS (metres, dB)"};
    f.Walls.push_back({Decimal(w[0], -1e4, 1e4, "wall"), Decimal(w[1], -1e4, 1e4, "wall"),
                       Decimal(w[2], -1e4, 1e4, "wall"), Decimal(w[3], -1e4, 1e4, "wall"),
                       Decimal(w[4], 0, 100, "the wall loss")});
  } else if (key == "path-loss-exponent") {
    f.PathLossExponent = Decimal(value, 1, 8, "path-loss-exponent");
  } else if (key == "shadowing") {
    f.Shadowing = Decimal(value, 0, 30, "shadowing");
  } else if (key == "noise") {
    f.Noise = Decimal(value, -130, -30, "noise");
  } else if (key == "seed") {
    f.Seed = static_cast<uint64_t>(Number(value, 0, 2147483647, "seed"));
  } else {
    throw Bad{"unknown floor key '" + std::string(key) + "'"};
  }
}

bool YesNo(std::string_view s) {
  if (s == "yes" || s == "on") return true;
  if (s == "no" || s == "off") return false;
  throw Bad{"expected yes or no, not '" + std::string(s) + "'"};
}

std::array<uint8_t, 6> MacAddress(std::string_view s) {
  std::string error;
  auto bytes = ParseHexBytes(s, &error);
  if (!bytes || bytes->size() != 6)
    throw Bad{"'" + std::string(s) + "' is not a MAC address (six bytes like 00:11:22:33:44:55)"};
  std::array<uint8_t, 6> a{};
  std::copy(bytes->begin(), bytes->end(), a.begin());
  return a;
}

std::vector<uint8_t> HexBytes(std::string_view s) {
  std::string error;
  auto bytes = ParseHexBytes(s, &error);
  if (!bytes) throw Bad{"bad hex bytes: " + error};
  return *bytes;
}

uint32_t OUI(std::string_view s) {
  auto b = HexBytes(s);
  if (b.size() != 3) throw Bad{"'" + std::string(s) + "' is not an OUI (three bytes like 00:50:F2)"};
  return (uint32_t{b[0]} << 16) | (uint32_t{b[1]} << 8) | b[2];
}

// A quoted text with \\, \" and \xNN escapes, or a bare word; returns the bytes.
std::vector<uint8_t> Text(std::string_view s) {
  if (s.empty() || s.front() != '"') return std::vector<uint8_t>(s.begin(), s.end());
  if (s.size() < 2 || s.back() != '"') throw Bad{"a text that starts with \" must end with \""};
  s = s.substr(1, s.size() - 2);
  std::vector<uint8_t> out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      if (s[i] == '"') throw Bad{"a \" inside a text must be written \\\""};
      out.push_back(static_cast<uint8_t>(s[i]));
      continue;
    }
    if (++i >= s.size()) throw Bad{"a text must not end with a lone backslash"};
    if (s[i] == '\\' || s[i] == '"') {
      out.push_back(static_cast<uint8_t>(s[i]));
    } else if (s[i] == 'x') {
      auto b = i + 2 < s.size() ? ParseHexBytes(s.substr(i + 1, 2)) : std::nullopt;
      if (!b || b->size() != 1) throw Bad{"\\x must be followed by two hex digits"};
      out.push_back((*b)[0]);
      i += 2;
    } else {
      throw Bad{"unknown escape \\" + std::string(1, s[i]) + " (use \\\\, \\\" or \\xNN)"};
    }
  }
  return out;
}

std::string TextString(std::string_view s) {
  auto b = Text(s);
  return std::string(b.begin(), b.end());
}

Security SecurityOf(std::string_view s) {
  for (const auto& w : kSecurityWords)
    if (w.Text == s) return w.Value;
  std::string all;
  for (const auto& w : kSecurityWords) all += (all.empty() ? "" : ", ") + std::string(w.Text);
  throw Bad{"unknown security '" + std::string(s) + "' (one of " + all + ")"};
}

const PhyWordRow& PhyRowOf(std::string_view s) {
  for (const auto& p : kPhyWords)
    if (p.Text == s) return p;
  throw Bad{"unknown PHY '" + std::string(s) + "' (one of b, a, g, n, ac, ax, be)"};
}

bool Valid6GHzChannel(int c) { return c == 2 || (c >= 1 && c <= 233 && (c - 1) % 4 == 0); }

bool Valid5GHzChannel(int c) {
  return (c >= 36 && c <= 64 && c % 4 == 0) || (c >= 100 && c <= 144 && c % 4 == 0) ||
         (c >= 149 && c <= 177 && (c - 149) % 4 == 0);
}

void SetInterfaceKey(SceneInterface& i, std::string_view key, std::string_view value) {
  if (key == "name") {
    i.Description = TextString(value);
    if (!IsValidWlanName(i.Description)) throw Bad{"the name must be UTF-8 text of 1 to 255 characters"};
  } else if (key == "guid") {
    i.Guid = GuidFromText(value);
    if (!i.Guid) throw Bad{"'" + std::string(value) + "' is not a GUID like {01234567-89AB-CDEF-0123-456789ABCDEF}"};
  } else if (key == "phys") {
    i.PhyTypes.clear();
    for (auto w : Words(value)) i.PhyTypes.push_back(PhyRowOf(w).Type);
    if (i.PhyTypes.empty() || i.PhyTypes.size() > WLAN_INTERFACE_CAPABILITY::kMaxPhys)
      throw Bad{"phys needs 1 to 64 PHYs"};
  } else if (key == "bands") {
    i.Hears24GHz = i.Hears5GHz = i.Hears6GHz = false;
    for (auto w : Words(value)) {
      if (w == "2.4") i.Hears24GHz = true;
      else if (w == "5") i.Hears5GHz = true;
      else if (w == "6") i.Hears6GHz = true;
      else throw Bad{"unknown band '" + std::string(w) + "' (2.4, 5 or 6)"};
    }
  } else if (key == "hardware-radio") {
    i.HardwareRadioOn = YesNo(value);
  } else if (key == "rssi-offset") {
    i.RssiOffset = static_cast<int>(Number(value, -50, 50, "rssi-offset"));
  } else if (key == "connected") {
    i.ConnectedTo = MacAddress(value);
  } else if (key == "ifname") {
    i.KernelName = TextString(value);
    if (i.KernelName.empty() || i.KernelName.size() > 15 || i.KernelName.find_first_of("/ \t") != std::string::npos)
      throw Bad{"ifname must be 1 to 15 characters without '/' or blanks"};
  } else if (key == "mac") {
    i.Mac = MacAddress(value);
  } else if (key == "up") {
    i.Up = YesNo(value);
  } else if (key == "scans-refused") {
    i.ScansRefused = YesNo(value);
  } else {
    if (key != "position") throw Bad{"unknown interface key '" + std::string(key) + "'"};
    i.Position = Coordinates(value, "position");
  }
}

// The access point keys that describe elements of its beacon; false for every other key.
bool SetElementKey(SceneAccessPoint& ap, std::string_view key, std::string_view value) {
  if (key == "country") {
    auto w = Words(value);
    if (w.empty() || w.size() > 2 || w[0].size() != 2)
      throw Bad{"country is two letters and an optional environment (I, O)"};
    CountryValues c;
    c.Code = std::string(w[0]);
    c.Environment = w.size() == 2 ? static_cast<uint8_t>(w[1][0]) : ' ';
    if (w.size() == 2 && (w[1].size() != 1 || (w[1] != "I" && w[1] != "O"))) throw Bad{"the environment is I or O"};
    ap.Country = c;
  } else if (key == "load") {
    auto w = Words(value);
    if (w.size() != 2) throw Bad{"load is a station count and a utilization percentage"};
    ap.Load = std::make_pair(static_cast<int>(Number(w[0], 0, 65535, "the station count")),
                             static_cast<int>(Number(w[1], 0, 100, "the utilization")));
  } else if (key == "wps") {
    auto w = Words(value);
    WPSDescription d = ap.WPS.value_or(WPSDescription{});
    if (w.empty()) throw Bad{"wps is configured or unconfigured, optionally followed by locked"};
    if (w[0] == "configured") d.State = 2;
    else if (w[0] == "unconfigured") d.State = 1;
    else throw Bad{"wps is configured or unconfigured, optionally followed by locked"};
    d.Locked = w.size() > 1 && w[1] == "locked";
    if (w.size() > 2 || (w.size() == 2 && !d.Locked))
      throw Bad{"wps is configured or unconfigured, optionally followed by locked"};
    ap.WPS = d;
  } else if (key == "wps-device" || key == "wps-manufacturer" || key == "wps-model" || key == "wps-model-number") {
    if (!ap.WPS) throw Bad{"give wps before " + std::string(key)};
    std::string t = TextString(value);
    if (t.size() > (key == "wps-manufacturer" ? 64u : 32u))
      throw Bad{std::string(key) + " has at most " + (key == "wps-manufacturer" ? "64" : "32") + " bytes"};
    if (key == "wps-device") ap.WPS->DeviceName = t;
    else if (key == "wps-manufacturer") ap.WPS->Manufacturer = t;
    else if (key == "wps-model") ap.WPS->ModelName = t;
    else ap.WPS->ModelNumber = t;
  } else if (key == "vendor") {
    auto w = Words(value);
    if (w.size() < 2) throw Bad{"vendor is an OUI, a subtype and the body bytes in hex"};
    VendorElement v;
    v.OUI = OUI(w[0]);
    auto st = HexBytes(w[1]);
    if (st.size() != 1) throw Bad{"the vendor subtype is one hex byte"};
    v.Subtype = st[0];
    auto pos = value.find(w[1]) + w[1].size();
    v.Body = HexBytes(Trim(value.substr(pos)));
    if (v.Body.size() > 251) throw Bad{"a vendor body has at most 251 bytes"};
    ap.Vendors.push_back(std::move(v));
  } else if (key == "raw") {
    ap.Raw.push_back(HexBytes(value));
  } else if (key == "elements") {
    ap.Elements = HexBytes(value);
  } else if (key == "capability") {
    auto b = HexBytes(value);
    if (b.size() != 2) throw Bad{"capability is the 16-bit capability field as four hex digits (0431)"};
    ap.Capability = static_cast<uint16_t>(b[0] << 8 | b[1]);
  } else {
    return false;
  }
  return true;
}

void SetAccessPointKey(SceneAccessPoint& ap, std::string_view key, std::string_view value) {
  if (key == "ssid") {
    ap.SSID = Text(value);
    if (ap.SSID.size() > 32) throw Bad{"an SSID has at most 32 bytes (use raw for a malformed one)"};
  } else if (key == "hidden") {
    if (value == "empty") ap.Hidden = HiddenSSID::Empty;
    else if (value == "zeros") ap.Hidden = HiddenSSID::Zeros;
    else if (value == "no") ap.Hidden = HiddenSSID::No;
    else throw Bad{"hidden is empty, zeros or no"};
  } else if (key == "bssid") {
    ap.BSSID = MacAddress(value);
  } else if (key == "type") {
    if (value == "adhoc") ap.AdHoc = true;
    else if (value == "infrastructure") ap.AdHoc = false;
    else throw Bad{"type is infrastructure or adhoc"};
  } else if (key == "channel") {
    // A 6 GHz channel number is checked in its band's plan once the band is known (band may follow).
    ap.Channel = static_cast<uint8_t>(Number(value, 1, 233, "channel"));
    const bool valid = ap.Band6GHz ? Valid6GHzChannel(ap.Channel)
                                   : ap.Channel <= 14 || Valid5GHzChannel(ap.Channel) || Valid6GHzChannel(ap.Channel);
    if (!valid) throw Bad{"channel " + std::string(value) + " is no 20 MHz channel"};
  } else if (key == "band") {
    if (value == "6") ap.Band6GHz = true;
    else if (value == "2.4" || value == "5") ap.Band6GHz = false;
    else throw Bad{"band is 2.4, 5 or 6"};
  } else if (key == "frequency") {
    const long mhz = Number(value, 2412, 7115, "frequency");
    const uint32_t kHz = static_cast<uint32_t>(mhz) * 1000;
    const uint32_t channel = FrequencyToChannel(kHz);
    if (channel == 0 || channel > 233) throw Bad{"frequency " + std::string(value) + " MHz is no channel's"};
    ap.Band6GHz = BandOfFrequency(kHz) == kBand6GHz;
    ap.Channel = static_cast<uint8_t>(channel);
  } else if (key == "width") {
    if (value == "80+80") ap.Width = 8080;
    else ap.Width = static_cast<int>(Number(value, 20, 320, "width"));
    if (ap.Width != 20 && ap.Width != 40 && ap.Width != 80 && ap.Width != 160 && ap.Width != 320 && ap.Width != 8080)
      throw Bad{"width is 20, 40, 80, 160, 320 or 80+80"};
  } else if (key == "roaming") {
    ap.Roaming11k = ap.Roaming11v = ap.Roaming11r = false;
    for (auto w : Words(value)) {
      if (w == "k") ap.Roaming11k = true;
      else if (w == "v") ap.Roaming11v = true;
      else if (w == "r") ap.Roaming11r = true;
      else throw Bad{"roaming takes the letters k, v and r"};
    }
  } else if (key == "partner") {
    ap.Partner = MacAddress(value);
  } else if (key == "center2") {
    ap.Center2 = static_cast<uint8_t>(Number(value, 36, 177, "center2"));
  } else if (key == "phy") {
    ap.Standard = PhyRowOf(value).Value;
  } else if (key == "streams") {
    ap.Streams = static_cast<int>(Number(value, 1, 4, "streams"));
  } else if (key == "security") {
    ap.Sec = SecurityOf(value);
  } else if (key == "rssi") {
    ap.Rssi = static_cast<int>(Number(value, -100, -10, "rssi"));
  } else if (key == "beacon") {
    ap.BeaconPeriod = static_cast<uint16_t>(Number(value, 1, 65535, "beacon"));
  } else if (key == "appear") {
    auto w = Words(value);
    if (w.size() != 2) throw Bad{"appear is the seconds heard and the seconds gone"};
    ap.AppearOn = Seconds(w[0]);
    ap.AppearOff = Seconds(w[1]);
    if (ap.AppearOn <= 0) throw Bad{"the seconds heard must be positive"};
  } else if (key == "position") {
    ap.Position = Coordinates(value, "position");
  } else if (key == "tx-power") {
    ap.TxPower = Decimal(value, -20, 40, "tx-power");
  } else if (key == "floor") {
    ap.Floor = TextString(value);
  } else if (!SetElementKey(ap, key, value)) {
    throw Bad{"unknown access point key '" + std::string(key) + "'"};
  }
}

// An access point given by its element blob takes its SSID and PHY from the blob, its type from the
// capability field when one is given.
void CompleteFromElements(SceneAccessPoint& ap) {
  if (ap.Capability) ap.AdHoc = (*ap.Capability & 0x0003) == 0x0002;
  if (!ap.Elements) return;
  TBeaconReception rx;
  rx.FrequencyKHz = ap.FrequencyKHz();
  WLAN_BSS_ENTRY e = ReadBeacon(*ap.Elements, rx);
  ap.SSID.assign(e.dot11Ssid.ucSSID.begin(), e.dot11Ssid.ucSSID.begin() + e.dot11Ssid.uSSIDLength);
  switch (e.dot11BssPhyType) {
    case kPhyOFDM: ap.Standard = Phy::A; break;
    case kPhyHRDSSS: ap.Standard = Phy::B; break;
    case kPhyHT: ap.Standard = Phy::N; break;
    case kPhyVHT: ap.Standard = Phy::AC; break;
    case kPhyHE: ap.Standard = Phy::AX; break;
    default: ap.Standard = Phy::G; break;  // ERP, or a 2.4 GHz blob without rates
  }
}

void CheckAccessPoint(const SceneAccessPoint& ap) {
  bool b24 = ap.Is24GHz();
  if (ap.Band6GHz) {
    if (!Valid6GHzChannel(ap.Channel)) throw Bad{"channel " + std::to_string(ap.Channel) + " is no 6 GHz channel"};
    if (ap.Standard != Phy::AX && ap.Standard != Phy::BE) throw Bad{"the 6 GHz band needs ax or be"};
    if (ap.Width == 8080) throw Bad{"the 6 GHz band has no 80+80 MHz channels here"};
    if (ap.Width > 20 && ap.Channel == 2) throw Bad{"channel 2 is 20 MHz wide"};
    if (ap.Width == 320 && CenterChannel6GHz(ap.Channel, 320) == 0) throw Bad{"no 320 MHz channel around this one"};
  } else if (ap.Channel > 14 && !Valid5GHzChannel(ap.Channel)) {
    throw Bad{"channel " + std::to_string(ap.Channel) + " is no 5 GHz channel (band = 6 for the 6 GHz band)"};
  }
  if (ap.Width == 320 && (!ap.Band6GHz || ap.Standard != Phy::BE)) throw Bad{"320 MHz channels are 6 GHz and be only"};
  if (ap.Partner && *ap.Partner == ap.BSSID) throw Bad{"an access point is not its own partner"};
  if (b24 && (ap.Standard == Phy::A || ap.Standard == Phy::AC)) throw Bad{"802.11a and ac are 5 GHz only"};
  if (!b24 && (ap.Standard == Phy::B || ap.Standard == Phy::G)) throw Bad{"802.11b and g are 2.4 GHz only"};
  if (ap.Width > 20 && (ap.Standard == Phy::A || ap.Standard == Phy::B || ap.Standard == Phy::G))
    throw Bad{"wider channels than 20 MHz need n, ac or ax"};
  if (b24 && ap.Width > 40) throw Bad{"2.4 GHz channels are at most 40 MHz wide"};
  if (ap.Width > 40 && ap.Standard == Phy::N) throw Bad{"802.11n channels are at most 40 MHz wide"};
  if (b24 && ap.Width == 40 && (ap.Channel < 1 || ap.Channel > 13)) throw Bad{"no 40 MHz channel around channel 14"};
  if (!ap.Band6GHz && ap.Width == 160 && ap.Channel >= 149) throw Bad{"no 160 MHz channel from channel 149 on here"};
  static constexpr uint8_t kCenters80[] = {42, 58, 106, 122, 138, 155, 171};
  if (ap.Width == 8080 && std::find(std::begin(kCenters80), std::end(kCenters80), ap.Center2) == std::end(kCenters80))
    throw Bad{"80+80 needs center2, the centre channel of the second 80 MHz segment (42, 58, 106, 122, 138, 155)"};
  if (ap.Width != 8080 && ap.Center2 != 0) throw Bad{"center2 is only for 80+80"};
  if (ap.AdHoc && ap.Sec != Security::Open && ap.Sec != Security::WEP && ap.Sec != Security::WPA2)
    throw Bad{"an ad hoc network is open, WEP or WPA2"};
}

}  // namespace

std::string_view SecurityWord(Security s) {
  for (const auto& w : kSecurityWords)
    if (w.Value == s) return w.Text;
  return "?";
}
std::string_view PhyWord(Phy p) {
  for (const auto& w : kPhyWords)
    if (w.Value == p) return w.Text;
  return "?";
}
uint32_t PhyTypeOf(Phy p) {
  for (const auto& w : kPhyWords)
    if (w.Value == p) return w.Type;
  return 0;
}

namespace {

// The checks of a whole scene, after its last section: what goes wrong and on which line.
struct SceneProblem {
  int Line;
  std::string What;
};

std::optional<SceneProblem> CheckAndCompleteScene(Scene& scene) {
  for (const auto& ap : scene.AccessPoints) {
    if (!ap.Position && !ap.Floor.empty()) return SceneProblem{ap.Line, "floor goes with position"};
    if (!ap.Position) continue;
    if (scene.Floors.empty()) return SceneProblem{ap.Line, "an access point with a position needs a [floor]"};
    if (!scene.FindFloor(ap.Floor)) return SceneProblem{ap.Line, "there is no floor named '" + ap.Floor + "'"};
  }
  for (const auto& i : scene.Interfaces)
    if (i.Position && scene.Floors.empty()) return SceneProblem{i.Line, "an interface with a position needs a [floor]"};
  std::set<std::array<uint8_t, 6>> seen;
  for (const auto& ap : scene.AccessPoints)
    if (!seen.insert(ap.BSSID).second) return SceneProblem{ap.Line, "a second access point with the same bssid"};
  for (auto& ap : scene.AccessPoints) {
    if (!ap.Partner) continue;
    auto other = std::find_if(scene.AccessPoints.begin(), scene.AccessPoints.end(),
                              [&](const SceneAccessPoint& o) { return o.BSSID == *ap.Partner; });
    if (other == scene.AccessPoints.end()) return SceneProblem{ap.Line, "the partner is no access point of this scene"};
    ap.PartnerChannel = other->Channel;
    ap.PartnerBand6GHz = other->Band6GHz;
  }
  if (scene.Interfaces.empty()) {
    SceneInterface i;
    i.Description = "Simulated Wi-Fi adapter";
    scene.Interfaces.push_back(i);
  }
  for (auto& i : scene.Interfaces) {
    if (i.PhyTypes.empty()) i.PhyTypes = {5, 4, 6, 7, 8, 10, 11};
    if (i.Description.empty()) i.Description = "Simulated Wi-Fi adapter";
    if (i.ConnectedTo && !seen.count(*i.ConnectedTo))
      return SceneProblem{i.Line, "the connected network is no access point of this scene"};
  }
  return std::nullopt;
}

}  // namespace

SceneResult ParseScene(std::string_view text, std::string_view fileName) {
  Scene scene;
  enum class Section { None, Scene, Interface, AccessPoint, Floor } section = Section::None;
  int lineNo = 0;
  int sectionLine = 0;
  auto fail = [&](int line, const std::string& what) {
    return SceneResult{std::nullopt, std::string(fileName) + ":" + std::to_string(line) + ": " + what};
  };
  auto finishSection = [&]() {
    if (section == Section::AccessPoint) {
      auto& ap = scene.AccessPoints.back();
      if (ap.BSSID == std::array<uint8_t, 6>{}) throw Bad{"this access point has no bssid"};
      CompleteFromElements(ap);
      CheckAccessPoint(ap);
    }
    if (section == Section::Floor) {
      const auto& f = scene.Floors.back();
      if (f.Width <= 0) throw Bad{"this floor has no size"};
      if (f.Name.empty()) throw Bad{"this floor has no name"};
      for (size_t k = 0; k + 1 < scene.Floors.size(); ++k)
        if (scene.Floors[k].Name == f.Name) throw Bad{"there is a floor named '" + f.Name + "' already"};
    }
  };
  size_t pos = 0;
  try {
    while (pos <= text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = Trim(text.substr(pos, end - pos));
      pos = end + 1;
      ++lineNo;
      if (line.empty() || line.front() == '#') continue;
      if (line.front() == '[') {
        try {
          finishSection();
        } catch (const Bad& b) { return fail(sectionLine, b.What); }
        sectionLine = lineNo;
        if (line == "[scene]") {
          section = Section::Scene;
        } else if (line == "[interface]") {
          section = Section::Interface;
          scene.Interfaces.emplace_back();
          scene.Interfaces.back().Line = lineNo;
        } else if (line == "[ap]") {
          section = Section::AccessPoint;
          scene.AccessPoints.emplace_back();
          scene.AccessPoints.back().Line = lineNo;
        } else if (line == "[floor]") {
          section = Section::Floor;
          scene.Floors.emplace_back();
          scene.Floors.back().Line = lineNo;
        } else {
          return fail(lineNo, "unknown section " + std::string(line) + " (use [scene], [floor], [interface] or [ap])");
        }
        continue;
      }
      size_t eq = line.find('=');
      if (eq == std::string_view::npos) return fail(lineNo, "expected key = value");
      std::string_view key = Trim(line.substr(0, eq));
      std::string_view value = Trim(line.substr(eq + 1));
      try {
        switch (section) {
          case Section::None: throw Bad{"key '" + std::string(key) + "' before the first section"};
          case Section::Scene:
            if (key != "name") throw Bad{"unknown scene key '" + std::string(key) + "'"};
            scene.Name = TextString(value);
            break;
          case Section::Interface: SetInterfaceKey(scene.Interfaces.back(), key, value); break;
          case Section::AccessPoint: SetAccessPointKey(scene.AccessPoints.back(), key, value); break;
          case Section::Floor: SetFloorKey(scene.Floors.back(), key, value); break;
        }
      } catch (const Bad& b) { return fail(lineNo, b.What); }
    }
    try {
      finishSection();
    } catch (const Bad& b) { return fail(sectionLine, b.What); }
  } catch (const Bad& b) { return fail(lineNo, b.What); }

  if (auto problem = CheckAndCompleteScene(scene)) return fail(problem->Line, problem->What);
  return {std::move(scene), {}};
}

SceneResult ReadSceneFile(const std::string& path) {
  std::string text, error;
  if (!ReadWholeFile(path, text, &error)) return {std::nullopt, path + ": " + error};
  SceneResult result = ParseScene(text, path);
  if (result.Value) result.Value->Folder = std::filesystem::path(path).parent_path().string();
  return result;
}

SceneResult ReplaySnapshotScene(const std::string& snapshotPath) {
  SnapshotContents contents = ReadSnapshotFile(snapshotPath);
  switch (contents.Status) {
    case SnapshotStatus::Ok: break;
    case SnapshotStatus::NoHeader: return {std::nullopt, snapshotPath + ": not a snapshot (shorter than its header)"};
    case SnapshotStatus::UnknownFormat: return {std::nullopt, snapshotPath + ": Unknown format."};
    case SnapshotStatus::ReadError: return {std::nullopt, snapshotPath + ": " + contents.Error};
  }
  Scene scene;
  scene.Name = "Replay of " + snapshotPath;
  SceneInterface i;
  std::string base = snapshotPath.substr(snapshotPath.find_last_of('/') + 1);
  i.Description = "Simulated replay of " + base;
  if (!IsValidWlanName(i.Description)) i.Description = "Simulated replay of a snapshot";
  i.RandomWalk = false;
  i.PhyTypes = {5, 4, 6, 7, 8, 10};
  scene.Interfaces.push_back(i);
  for (const auto& r : contents.Records) {
    SceneAccessPoint ap;
    ap.BSSID = r.Entry.dot11Bssid;
    ap.Rssi = r.Entry.lRssi;
    ap.FixedEntry = r.Entry;
    ap.FixedBlob = r.Blob;
    ap.Channel = static_cast<uint8_t>(std::min<uint32_t>(FrequencyToChannel(r.Entry.ulChCenterFrequency), 255));
    ap.Band6GHz = BandOfFrequency(r.Entry.ulChCenterFrequency) == kBand6GHz;
    scene.AccessPoints.push_back(std::move(ap));
  }
  return {std::move(scene), {}};
}

}  // namespace skimlet::sim
