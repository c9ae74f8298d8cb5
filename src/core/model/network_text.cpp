// Texts of a network's derived values, the cell texts of the network list and its sort order.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/base/format.h"
#include "core/base/numfmt.h"
#include "core/base/translate.h"
#include "core/model/columns.h"
#include "core/model/network.h"
#include "core/radio/security.h"
#include "core/radio/values.h"

namespace skimlet {

namespace {

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

// "a + b" and "a / b" style joins write the separator only when something came before.
void AppendPart(std::string& out, const std::string& part, std::string_view separator) {
  if (!out.empty()) out += separator;
  out += part;
}

std::string GHzText(uint32_t kHz) { return Format("%.3n %s", {kHz / 1000000.0, Translate("sGHz")}); }

// Pairwise ciphers joined by "+" in the order of their suite types, whatever order the element lists them
// in, each once; type 0 stands for the group cipher. The group cipher when the list is empty.
std::string CipherPart(const TSecurityWPA& s) {
  std::vector<uint8_t> types;
  for (uint8_t type : s.PairwiseCiphers) types.push_back(type == 0 ? static_cast<uint8_t>(s.GroupCipher) : type);
  std::sort(types.begin(), types.end());
  types.erase(std::unique(types.begin(), types.end()), types.end());
  std::string part;
  for (uint8_t type : types) {
    if (!part.empty()) part += '+';
    part += CipherSuiteName(type);
  }
  if (part.empty()) part = CipherSuiteName(static_cast<uint8_t>(s.GroupCipher));
  return part;
}

std::string AKMPart(const TSecurityWPA& s, int version) {
  std::string part;
  bool first = true;
  for (uint8_t type : s.AKMSuites) {
    if (!first) part += '+';
    first = false;
    part += AKMSuiteName(type, version);
  }
  return part;
}

// Calendar fields of a LocalDateTime, read exactly: the value is already local time.
struct TCalendar {
  int64_t Year;
  int Month, Day, Hour, Minute, Second;
};

bool DecodeCalendar(LocalDateTime t, TCalendar& out) {
  // About ±8000 years around 1899: enough for any stamp, and far inside 64-bit day arithmetic.
  if (!std::isfinite(t) || std::fabs(t) > 3.0e6) return false;
  int64_t days = static_cast<int64_t>(std::floor(t));
  // Milliseconds first, so that a time stored as 11:59:59.9999999 of a day fraction reads as 12:00:00.000.
  int64_t ms = std::llround((t - static_cast<double>(days)) * MillisecondsPerDay);
  if (ms >= static_cast<int64_t>(MillisecondsPerDay)) {
    ms -= static_cast<int64_t>(MillisecondsPerDay);
    ++days;
  }
  // Days since 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's civil_from_days).
  const int64_t z = days - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  out.Year = yoe + era * 400 + (m <= 2 ? 1 : 0);
  out.Month = static_cast<int>(m);
  out.Day = static_cast<int>(d);
  const int64_t seconds = ms / 1000;
  out.Hour = static_cast<int>(seconds / 3600);
  out.Minute = static_cast<int>(seconds / 60 % 60);
  out.Second = static_cast<int>(seconds % 60);
  return true;
}

// The model lives on the window thread; so does this clock.
TClock g_seenTimeClock;

}  // namespace

LocalDateTime SeenTimeNow() { return g_seenTimeClock ? g_seenTimeClock() : LocalNow(); }

int CompareFoldedText(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return x < y ? -1 : 1;
  }
  return (a.size() > b.size()) - (a.size() < b.size());
}

std::string SeenTimeText(LocalDateTime time, LocalDateTime now) {
  TCalendar t, n;
  if (!DecodeCalendar(time, t)) return {};
  char buf[64];
  if (DecodeCalendar(now, n) && t.Year == n.Year && t.Month == n.Month && t.Day == n.Day) {
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.Hour, t.Minute, t.Second);
  } else {
    std::snprintf(buf, sizeof buf, "%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(t.Year), t.Month, t.Day,
                  t.Hour, t.Minute, t.Second);
  }
  return buf;
}

void SetSeenTimeClock(TClock clock) { g_seenTimeClock = std::move(clock); }

std::string TWLANNetwork::ChannelText() const {
  switch (ChannelWidth) {
    case 1: {
      // The 6 GHz band has no HT operation: its 40 MHz channel is known by its centre.
      if (SecondaryChannel == 0 && CenterChannel0 > 0) return Format("%d[%d]", {CenterChannel0, Channel});
      const bool above = Channel < SecondaryChannel;
      if (GetHighestPhyType() == kPhyHT) return Format(above ? "%d+%d" : "%d-%d", {Channel, SecondaryChannel});
      return Format("%d[%d]", {above ? Channel + 2 : Channel - 2, Channel});
    }
    case 2:
      if (CenterChannel0 > 0) return Format("%d[%d]", {CenterChannel0, Channel});
      break;
    case 3:
    case kWidth320: return Format("%d[%d]", {CenterChannel1, Channel});
    case 4:
      return Format(CenterChannel0 < CenterChannel1 ? "%d[%d]+%d" : "%d[%d]-%d",
                    {CenterChannel0, Channel, CenterChannel1});
    default: break;
  }
  return std::to_string(Channel);
}

std::string TWLANNetwork::FrequencyText() const {
  const int band = Band;
  auto frequencyOf = [band](uint32_t channel) { return ChannelToFrequency(channel, band); };
  if (ChannelWidth == 4) {
    return GHzText(frequencyOf(CenterChannel0)) + (CenterChannel0 < CenterChannel1 ? " + " : " - ") +
           GHzText(frequencyOf(CenterChannel1));
  }
  uint32_t kHz;
  switch (ChannelWidth) {
    case 1:
      kHz = SecondaryChannel == 0 && CenterChannel0 > 0 ? frequencyOf(CenterChannel0)
                                                        : frequencyOf((Channel + SecondaryChannel) / 2);
      break;
    case 2: kHz = frequencyOf(CenterChannel0); break;
    case 3:
    case kWidth320: kHz = frequencyOf(CenterChannel1); break;
    default:
      kHz = frequencyOf(Channel);
      // A frequency without a channel number: show where it was heard.
      if (kHz == 0) kHz = CenterFrequency;
      break;
  }
  return GHzText(kHz);
}

std::string TWLANNetwork::BandText() const { return BandName(Band); }

std::string TWLANNetwork::WidthText() const { return WidthName(ChannelWidth); }

std::string TWLANNetwork::PhyLettersText() const {
  std::string out;
  for (int p = 0; p < 16; ++p) {
    if (!PhyTypes.Contains(p)) continue;
    std::string letters = PhyTypeLetters(p);
    if (!letters.empty()) AppendPart(out, letters, ", ");
  }
  return out;
}

std::string TWLANNetwork::SecurityModeText() const {
  if (!Privacy) return Translate("Open");
  if (!WPA.Present && !RSN.Present) return "WEP";
  // WPA, WPA2, WPA3 and OWE in that order, joined by "/": "WPA/WPA2", "WPA2/WPA3".
  std::string out;
  for (int kind : {kSecurityWPA, kSecurityWPA2, kSecurityWPA3, kSecurityOWE})
    if (SecurityKinds.Contains(kind)) AppendPart(out, SecurityKindName(kind), "/");
  return out;
}

std::string TWLANNetwork::PMFText() const {
  switch (PMF) {
    case kPMFRequired: return Translate("sPMFRequired", "Required");
    case kPMFCapable: return Translate("sPMFCapable", "Capable");
    default: return Translate("sNo", "No");
  }
}

std::string TWLANNetwork::RoamingText() const {
  std::string out;
  if (Roaming & kRoaming11k) AppendPart(out, "k", ", ");
  if (Roaming & kRoaming11v) AppendPart(out, "v", ", ");
  if (Roaming & kRoaming11r) AppendPart(out, "r", ", ");
  return out;
}

std::string TWLANNetwork::CipherText() const {
  // Nothing is encrypted on a network without privacy, whatever its elements announce.
  if (!Privacy) return Translate("sDOT11_CIPHER_ALGO_NONE", "None");
  if (!WPA.Present && !RSN.Present) return "WEP";
  std::string out;
  if (WPA.Present) out = CipherPart(WPA);
  if (RSN.Present) AppendPart(out, CipherPart(RSN), "/");
  return out;
}

std::string TWLANNetwork::AuthenticationText() const {
  if (!Privacy) return Translate("Open");
  if (!WPA.Present && !RSN.Present) return "WEP Shared Key";
  std::string out;
  if (WPA.Present) out = AKMPart(WPA, 1);
  if (RSN.Present) AppendPart(out, AKMPart(RSN, 2), "/");
  return out;
}

std::string TWLANNetwork::WPSStateText() const { return ::skimlet::WPSStateText(WPSState); }

std::string TWLANNetwork::BssTypeText() const { return ::skimlet::BssTypeText(BssType); }

std::string TWLANNetwork::RatesText() const {
  std::vector<std::string> parts;
  parts.reserve(Rates.size());
  for (double r : Rates) parts.push_back(RateText(r));
  return Join(parts, "; ");
}

std::string RateText(double value) {
  // Rates carry one decimal at most. Those are printed directly: a list shows dozens of them and sorting by
  // the rates column formats every list once per comparison.
  if (std::fabs(value) < 1e12) {
    const int64_t tenths = std::llround(value * 10.0);
    if (static_cast<double>(tenths) / 10.0 == value && tenths >= 0) {
      std::string text = std::to_string(tenths / 10);
      if (tenths % 10 != 0) {
        text += CurrentNumberFormat().DecimalSeparator;
        text += static_cast<char>('0' + tenths % 10);
      }
      return text;
    }
  }
  return Format("%g", {value});
}

std::string TWLANNetwork::GetColumnText(int column) const { return NetworkCellText(*this, column); }

int CompareNetworks(const TWLANNetwork& a, const TWLANNetwork& b, int column) {
  return CompareNetworksBy(a, b, column);
}

}  // namespace skimlet
