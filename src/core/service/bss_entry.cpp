#include "core/service/bss_entry.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace skimlet {

namespace {

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> b) : b_(b) {}
  uint64_t LE(size_t n) {
    uint64_t v = 0;
    for (size_t k = n; k-- > 0;) v = (v << 8) | b_[pos_ + k];
    pos_ += n;
    return v;
  }
  template <size_t N>
  std::array<uint16_t, N> LE16Array() {
    std::array<uint16_t, N> a;
    const uint8_t* p = b_.data() + pos_;
    for (size_t k = 0; k < N; ++k) a[k] = static_cast<uint16_t>(p[2 * k] | p[2 * k + 1] << 8);
    pos_ += 2 * N;
    return a;
  }
  template <size_t N>
  void Copy(std::array<uint8_t, N>& a) {
    std::memcpy(a.data(), b_.data() + pos_, N);
    pos_ += N;
  }
  size_t pos() const { return pos_; }

 private:
  std::span<const uint8_t> b_;
  size_t pos_ = 0;
};

void PutLE(std::vector<uint8_t>& out, uint64_t v, size_t n) {
  for (size_t k = 0; k < n; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
template <size_t N>
void Put(std::vector<uint8_t>& out, const std::array<uint8_t, N>& a) {
  out.insert(out.end(), a.begin(), a.end());
}

}  // namespace

// On a little-endian machine the record's members sit exactly where the service's layout has them, so a
// whole entry is one copy; the field-by-field code below is the definition and serves other machines.
constexpr bool kSameLayout =
    std::endian::native == std::endian::little && sizeof(WLAN_BSS_ENTRY) == 360 &&
    offsetof(WLAN_BSS_ENTRY, uPhyId) == 36 && offsetof(WLAN_BSS_ENTRY, dot11Bssid) == 40 &&
    offsetof(WLAN_BSS_ENTRY, dot11BssType) == 48 && offsetof(WLAN_BSS_ENTRY, lRssi) == 56 &&
    offsetof(WLAN_BSS_ENTRY, bInRegDomain) == 64 && offsetof(WLAN_BSS_ENTRY, usBeaconPeriod) == 66 &&
    offsetof(WLAN_BSS_ENTRY, ullTimestamp) == 72 && offsetof(WLAN_BSS_ENTRY, usCapabilityInformation) == 88 &&
    offsetof(WLAN_BSS_ENTRY, ulChCenterFrequency) == 92 && offsetof(WLAN_BSS_ENTRY, wlanRateSet) == 96 &&
    offsetof(WLAN_BSS_ENTRY, ulIeOffset) == 352 && offsetof(WLAN_BSS_ENTRY, ulIeSize) == 356;

std::optional<WLAN_BSS_ENTRY> WLAN_BSS_ENTRY::Decode(std::span<const uint8_t> bytes) {
  if (bytes.size() < kSize) return std::nullopt;
  if constexpr (kSameLayout) {
    WLAN_BSS_ENTRY e;
    std::memcpy(static_cast<void*>(&e), bytes.data(), kSize);
    return e;
  }
  Reader r(bytes.first(kSize));
  WLAN_BSS_ENTRY e;
  e.dot11Ssid.uSSIDLength = static_cast<uint32_t>(r.LE(4));
  r.Copy(e.dot11Ssid.ucSSID);
  e.uPhyId = static_cast<uint32_t>(r.LE(4));
  r.Copy(e.dot11Bssid);
  r.Copy(e.padding46);
  e.dot11BssType = static_cast<uint32_t>(r.LE(4));
  e.dot11BssPhyType = static_cast<uint32_t>(r.LE(4));
  e.lRssi = static_cast<int32_t>(static_cast<uint32_t>(r.LE(4)));
  e.uLinkQuality = static_cast<uint32_t>(r.LE(4));
  e.bInRegDomain = static_cast<uint8_t>(r.LE(1));
  e.padding65 = static_cast<uint8_t>(r.LE(1));
  e.usBeaconPeriod = static_cast<uint16_t>(r.LE(2));
  r.Copy(e.padding68);
  e.ullTimestamp = r.LE(8);
  e.ullHostTimestamp = r.LE(8);
  e.usCapabilityInformation = static_cast<uint16_t>(r.LE(2));
  r.Copy(e.padding90);
  e.ulChCenterFrequency = static_cast<uint32_t>(r.LE(4));
  e.wlanRateSet.uRateSetLength = static_cast<uint32_t>(r.LE(4));
  e.wlanRateSet.usRateSet = r.LE16Array<126>();
  e.ulIeOffset = static_cast<uint32_t>(r.LE(4));
  e.ulIeSize = static_cast<uint32_t>(r.LE(4));
  return e;
}

void WLAN_BSS_ENTRY::Encode(std::vector<uint8_t>& out) const {
  if constexpr (kSameLayout) {
    const auto* p = reinterpret_cast<const uint8_t*>(this);
    out.insert(out.end(), p, p + kSize);
    return;
  }
  PutLE(out, dot11Ssid.uSSIDLength, 4);
  Put(out, dot11Ssid.ucSSID);
  PutLE(out, uPhyId, 4);
  Put(out, dot11Bssid);
  Put(out, padding46);
  PutLE(out, dot11BssType, 4);
  PutLE(out, dot11BssPhyType, 4);
  PutLE(out, static_cast<uint32_t>(lRssi), 4);
  PutLE(out, uLinkQuality, 4);
  PutLE(out, bInRegDomain, 1);
  PutLE(out, padding65, 1);
  PutLE(out, usBeaconPeriod, 2);
  Put(out, padding68);
  PutLE(out, ullTimestamp, 8);
  PutLE(out, ullHostTimestamp, 8);
  PutLE(out, usCapabilityInformation, 2);
  Put(out, padding90);
  PutLE(out, ulChCenterFrequency, 4);
  PutLE(out, wlanRateSet.uRateSetLength, 4);
  for (uint16_t rate : wlanRateSet.usRateSet) PutLE(out, rate, 2);
  PutLE(out, ulIeOffset, 4);
  PutLE(out, ulIeSize, 4);
}

std::optional<std::span<const uint8_t>> ElementBlobOf(const WLAN_BSS_ENTRY& entry, std::span<const uint8_t> bytes) {
  uint64_t end = uint64_t{entry.ulIeOffset} + entry.ulIeSize;
  if (end > bytes.size()) return std::nullopt;
  return bytes.subspan(entry.ulIeOffset, entry.ulIeSize);
}

}  // namespace skimlet
