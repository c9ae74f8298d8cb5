#include "core/service/wlan_records.h"

#include <algorithm>
#include <cstdio>

namespace skimlet {

namespace {

// Reads little-endian values at absolute positions. Callers check the block size first; a read beyond the
// bytes yields zero rather than touching memory outside them.
class At {
 public:
  explicit At(std::span<const uint8_t> b) : b_(b) {}
  uint64_t LE(size_t pos, size_t n) const {
    if (pos > b_.size() || n > b_.size() - pos) return 0;
    uint64_t v = 0;
    for (size_t k = n; k-- > 0;) v = (v << 8) | b_[pos + k];
    return v;
  }
  uint32_t U32(size_t pos) const { return static_cast<uint32_t>(LE(pos, 4)); }
  uint64_t U64(size_t pos) const { return LE(pos, 8); }
  std::span<const uint8_t> Sub(size_t pos, size_t n) const {
    if (pos > b_.size() || n > b_.size() - pos) return {};
    return b_.subspan(pos, n);
  }

 private:
  std::span<const uint8_t> b_;
};

void PutLE(std::vector<uint8_t>& out, uint64_t v, size_t n) {
  for (size_t k = 0; k < n; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) { PutLE(out, v, 4); }
void Put64(std::vector<uint8_t>& out, uint64_t v) { PutLE(out, v, 8); }

void PutLE32At(std::vector<uint8_t>& out, size_t pos, uint32_t v) {
  for (size_t k = 0; k < 4; ++k) out[pos + k] = static_cast<uint8_t>(v >> (8 * k));
}

DOT11_SSID ReadSsid(std::span<const uint8_t> b) {
  DOT11_SSID s;
  At at(b);
  s.uSSIDLength = at.U32(0);
  auto bytes = at.Sub(4, 32);
  std::copy(bytes.begin(), bytes.end(), s.ucSSID.begin());
  return s;
}
void PutSsid(std::vector<uint8_t>& out, const DOT11_SSID& s) {
  Put32(out, s.uSSIDLength);
  out.insert(out.end(), s.ucSSID.begin(), s.ucSSID.end());
}

// The number of whole items of ItemSize between Start and the end of the block, never more than Count.
size_t ItemsThatFit(size_t blockSize, size_t start, size_t itemSize, uint64_t count) {
  if (blockSize < start) return 0;
  return static_cast<size_t>(std::min<uint64_t>(count, (blockSize - start) / itemSize));
}

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string GuidToText(const WLAN_GUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g[3], g[2],
                g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  return buf;
}

std::optional<WLAN_GUID> GuidFromText(std::string_view text) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
  if (text.size() != 36) return std::nullopt;
  std::vector<uint8_t> raw;
  for (size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    auto digit = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    int hi = digit(text[i]), lo = i + 1 < text.size() ? digit(text[i + 1]) : -1;
    if (hi < 0 || lo < 0) return std::nullopt;
    raw.push_back(static_cast<uint8_t>(hi * 16 + lo));
    i += 2;
  }
  if (raw.size() != 16) return std::nullopt;
  WLAN_GUID g{};
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int k = 0; k < 16; ++k) g[static_cast<size_t>(order[k])] = raw[static_cast<size_t>(k)];
  return g;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    auto b = static_cast<uint8_t>(text[i]);
    uint32_t cp;
    size_t n;
    if (b < 0x80) {
      cp = b;
      n = 1;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1Fu;
      n = 2;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0Fu;
      n = 3;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07u;
      n = 4;
    } else return std::nullopt;
    if (i + n > text.size()) return std::nullopt;
    for (size_t k = 1; k < n; ++k) {
      auto c = static_cast<uint8_t>(text[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    static constexpr uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += n;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

bool IsValidWlanName(std::string_view name) {
  auto wide = Utf8ToUtf16(name);
  return wide && !wide->empty() && wide->size() < kWlanMaxNameLength && wide->find(u'\0') == std::u16string::npos;
}

std::string ReadWideField(std::span<const uint8_t> bytes, size_t chars) {
  std::u16string wide;
  for (size_t k = 0; k < chars && 2 * k + 1 < bytes.size(); ++k) {
    auto c = static_cast<char16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
    if (c == 0) break;
    wide.push_back(c);
  }
  return Utf16ToUtf8(wide);
}

void PutWideField(std::vector<uint8_t>& out, std::string_view text, size_t chars) {
  std::u16string wide = Utf8ToUtf16(text).value_or(std::u16string());
  if (wide.size() >= chars) wide.resize(chars - 1);
  // Never leave half a surrogate pair at the cut.
  if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();
  for (size_t k = 0; k < chars; ++k) {
    char16_t c = k < wide.size() ? wide[k] : 0;
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
}

// Interface list -------------------------------------------------------------------------------------------

std::optional<WLAN_INTERFACE_INFO_LIST> WLAN_INTERFACE_INFO_LIST::Decode(std::span<const uint8_t> block) {
  if (block.size() < kHeaderSize) return std::nullopt;
  At at(block);
  uint32_t n = at.U32(0);
  if (ItemsThatFit(block.size(), kHeaderSize, WLAN_INTERFACE_INFO::kSize, n) != n) return std::nullopt;
  WLAN_INTERFACE_INFO_LIST list;
  list.dwIndex = at.U32(4);
  for (size_t i = 0; i < n; ++i) {
    size_t p = kHeaderSize + i * WLAN_INTERFACE_INFO::kSize;
    WLAN_INTERFACE_INFO info;
    auto guid = at.Sub(p, 16);
    std::copy(guid.begin(), guid.end(), info.InterfaceGuid.begin());
    info.strInterfaceDescription = ReadWideField(at.Sub(p + 16, 512), kWlanMaxNameLength);
    info.isState = at.U32(p + 528);
    list.InterfaceInfo.push_back(std::move(info));
  }
  return list;
}

WlanBlock WLAN_INTERFACE_INFO_LIST::Encode() const {
  WlanBlock out;
  Put32(out, static_cast<uint32_t>(InterfaceInfo.size()));
  Put32(out, dwIndex);
  for (const auto& info : InterfaceInfo) {
    out.insert(out.end(), info.InterfaceGuid.begin(), info.InterfaceGuid.end());
    PutWideField(out, info.strInterfaceDescription, kWlanMaxNameLength);
    Put32(out, info.isState);
  }
  return out;
}

// BSS list -------------------------------------------------------------------------------------------------

WlanBssListView::WlanBssListView(std::span<const uint8_t> block) : block_(block) {
  if (block.size() < kHeaderSize) return;
  At at(block);
  totalSize_ = at.U32(0);
  numberOfItems_ = at.U32(4);
  count_ = ItemsThatFit(block.size(), kHeaderSize, WLAN_BSS_ENTRY::kSize, numberOfItems_);
}

WLAN_BSS_ENTRY WlanBssListView::Entry(size_t index) const {
  if (index >= count_) return {};
  return *WLAN_BSS_ENTRY::Decode(EntryBytes(index));
}

std::span<const uint8_t> WlanBssListView::EntryBytes(size_t index) const {
  if (index >= count_) return {};
  return block_.subspan(kHeaderSize + index * WLAN_BSS_ENTRY::kSize);
}

std::optional<std::span<const uint8_t>> WlanBssListView::Blob(size_t index) const {
  if (index >= count_) return std::nullopt;
  return ElementBlobOf(Entry(index), EntryBytes(index));
}

WlanBlock EncodeBssList(std::span<const WlanBssListItem> items) {
  WlanBlock out;
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(items.size()));
  size_t blobPos = WlanBssListView::kHeaderSize + items.size() * WLAN_BSS_ENTRY::kSize;
  for (size_t i = 0; i < items.size(); ++i) {
    WLAN_BSS_ENTRY e = items[i].Entry;
    size_t entryPos = WlanBssListView::kHeaderSize + i * WLAN_BSS_ENTRY::kSize;
    e.ulIeOffset = static_cast<uint32_t>(blobPos - entryPos);
    e.ulIeSize = static_cast<uint32_t>(items[i].Blob.size());
    e.Encode(out);
    blobPos += items[i].Blob.size();
  }
  for (const auto& item : items) out.insert(out.end(), item.Blob.begin(), item.Blob.end());
  PutLE32At(out, 0, static_cast<uint32_t>(out.size()));
  return out;
}

// Connection attributes ------------------------------------------------------------------------------------

std::optional<WLAN_CONNECTION_ATTRIBUTES> WLAN_CONNECTION_ATTRIBUTES::Decode(std::span<const uint8_t> block) {
  if (block.size() < kSize) return std::nullopt;
  At at(block);
  WLAN_CONNECTION_ATTRIBUTES a;
  a.isState = at.U32(0);
  a.wlanConnectionMode = at.U32(4);
  a.strProfileName = ReadWideField(at.Sub(8, 512), kWlanMaxNameLength);
  a.dot11Ssid = ReadSsid(at.Sub(520, 36));
  a.dot11BssType = at.U32(556);
  auto bssid = at.Sub(560, 6);
  std::copy(bssid.begin(), bssid.end(), a.dot11Bssid.begin());
  a.dot11PhyType = at.U32(568);
  a.uDot11PhyIndex = at.U32(572);
  a.wlanSignalQuality = at.U32(576);
  a.ulRxRate = at.U32(580);
  a.ulTxRate = at.U32(584);
  a.bSecurityEnabled = at.U32(588);
  a.bOneXEnabled = at.U32(592);
  a.dot11AuthAlgorithm = at.U32(596);
  a.dot11CipherAlgorithm = at.U32(600);
  return a;
}

WlanBlock WLAN_CONNECTION_ATTRIBUTES::Encode() const {
  WlanBlock out;
  Put32(out, isState);
  Put32(out, wlanConnectionMode);
  PutWideField(out, strProfileName, kWlanMaxNameLength);
  PutSsid(out, dot11Ssid);
  Put32(out, dot11BssType);
  out.insert(out.end(), dot11Bssid.begin(), dot11Bssid.end());
  out.insert(out.end(), 2, 0);
  for (uint32_t v : {dot11PhyType, uDot11PhyIndex, wlanSignalQuality, ulRxRate, ulTxRate, bSecurityEnabled,
                     bOneXEnabled, dot11AuthAlgorithm, dot11CipherAlgorithm})
    Put32(out, v);
  return out;
}

bool WLAN_CONNECTION_ATTRIBUTES::operator==(const WLAN_CONNECTION_ATTRIBUTES& o) const {
  return Encode() == o.Encode();
}

// Statistics -----------------------------------------------------------------------------------------------

std::optional<WLAN_STATISTICS> WLAN_STATISTICS::Decode(std::span<const uint8_t> block) {
  if (block.size() < kPhyOffset) return std::nullopt;
  At at(block);
  uint32_t n = at.U32(216);
  if (ItemsThatFit(block.size(), kPhyOffset, kPhySize, n) != n) return std::nullopt;
  WLAN_STATISTICS s;
  s.ullFourWayHandshakeFailures = at.U64(0);
  s.ullTKIPCounterMeasuresInvoked = at.U64(8);
  s.ullReserved = at.U64(16);
  for (size_t k = 0; k < 12; ++k) {
    s.MacUcastCounters[k] = at.U64(24 + 8 * k);
    s.MacMcastCounters[k] = at.U64(120 + 8 * k);
  }
  s.PhyCounters.resize(n);
  for (size_t i = 0; i < n; ++i)
    for (size_t c = 0; c < 18; ++c) s.PhyCounters[i][c] = at.U64(kPhyOffset + i * kPhySize + 8 * c);
  return s;
}

WlanBlock WLAN_STATISTICS::Encode() const {
  WlanBlock out;
  Put64(out, ullFourWayHandshakeFailures);
  Put64(out, ullTKIPCounterMeasuresInvoked);
  Put64(out, ullReserved);
  for (uint64_t v : MacUcastCounters) Put64(out, v);
  for (uint64_t v : MacMcastCounters) Put64(out, v);
  Put32(out, static_cast<uint32_t>(PhyCounters.size()));
  Put32(out, 0);
  for (const auto& phy : PhyCounters)
    for (uint64_t v : phy) Put64(out, v);
  return out;
}

// Radio state ----------------------------------------------------------------------------------------------

std::optional<WLAN_PHY_RADIO_STATE> WLAN_PHY_RADIO_STATE::Decode(std::span<const uint8_t> bytes) {
  if (bytes.size() < kSize) return std::nullopt;
  At at(bytes);
  return WLAN_PHY_RADIO_STATE{at.U32(0), at.U32(4), at.U32(8)};
}

WlanBlock WLAN_PHY_RADIO_STATE::Encode() const {
  WlanBlock out;
  Put32(out, dwPhyIndex);
  Put32(out, dot11SoftwareRadioState);
  Put32(out, dot11HardwareRadioState);
  return out;
}

std::optional<WLAN_RADIO_STATE> WLAN_RADIO_STATE::Decode(std::span<const uint8_t> block) {
  if (block.size() < 4) return std::nullopt;
  At at(block);
  uint32_t n = at.U32(0);
  if (n > kMaxPhys || ItemsThatFit(block.size(), 4, WLAN_PHY_RADIO_STATE::kSize, n) != n) return std::nullopt;
  WLAN_RADIO_STATE r;
  for (size_t i = 0; i < n; ++i)
    r.PhyRadioState.push_back(*WLAN_PHY_RADIO_STATE::Decode(at.Sub(4 + i * WLAN_PHY_RADIO_STATE::kSize, 12)));
  return r;
}

WlanBlock WLAN_RADIO_STATE::Encode() const {
  WlanBlock out;
  size_t n = std::min(PhyRadioState.size(), kMaxPhys);
  Put32(out, static_cast<uint32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    WlanBlock one = PhyRadioState[i].Encode();
    out.insert(out.end(), one.begin(), one.end());
  }
  out.resize(kSize, 0);
  return out;
}

// Capability -----------------------------------------------------------------------------------------------

std::optional<WLAN_INTERFACE_CAPABILITY> WLAN_INTERFACE_CAPABILITY::Decode(std::span<const uint8_t> block) {
  if (block.size() < 20) return std::nullopt;
  At at(block);
  uint32_t n = at.U32(16);
  if (n > kMaxPhys || ItemsThatFit(block.size(), 20, 4, n) != n) return std::nullopt;
  WLAN_INTERFACE_CAPABILITY c;
  c.interfaceType = at.U32(0);
  c.bDot11DSupported = at.U32(4);
  c.dwMaxDesiredSsidListSize = at.U32(8);
  c.dwMaxDesiredBssidListSize = at.U32(12);
  for (size_t i = 0; i < n; ++i) c.dot11PhyTypes.push_back(at.U32(20 + 4 * i));
  return c;
}

WlanBlock WLAN_INTERFACE_CAPABILITY::Encode() const {
  WlanBlock out;
  size_t n = std::min(dot11PhyTypes.size(), kMaxPhys);
  for (uint32_t v :
       {interfaceType, bDot11DSupported, dwMaxDesiredSsidListSize, dwMaxDesiredBssidListSize, static_cast<uint32_t>(n)})
    Put32(out, v);
  for (size_t i = 0; i < n; ++i) Put32(out, dot11PhyTypes[i]);
  out.resize(kSize, 0);
  return out;
}

// Profile list ---------------------------------------------------------------------------------------------

std::optional<WLAN_PROFILE_INFO_LIST> WLAN_PROFILE_INFO_LIST::Decode(std::span<const uint8_t> block) {
  if (block.size() < kHeaderSize) return std::nullopt;
  At at(block);
  uint32_t n = at.U32(0);
  if (ItemsThatFit(block.size(), kHeaderSize, WLAN_PROFILE_INFO::kSize, n) != n) return std::nullopt;
  WLAN_PROFILE_INFO_LIST list;
  list.dwIndex = at.U32(4);
  for (size_t i = 0; i < n; ++i) {
    size_t p = kHeaderSize + i * WLAN_PROFILE_INFO::kSize;
    list.ProfileInfo.push_back({ReadWideField(at.Sub(p, 512), kWlanMaxNameLength), at.U32(p + 512)});
  }
  return list;
}

WlanBlock WLAN_PROFILE_INFO_LIST::Encode() const {
  WlanBlock out;
  Put32(out, static_cast<uint32_t>(ProfileInfo.size()));
  Put32(out, dwIndex);
  for (const auto& p : ProfileInfo) {
    PutWideField(out, p.strProfileName, kWlanMaxNameLength);
    Put32(out, p.dwFlags);
  }
  return out;
}

// Single values --------------------------------------------------------------------------------------------

std::optional<uint32_t> DecodeUInt32Value(std::span<const uint8_t> block) {
  if (block.size() < 4) return std::nullopt;
  return At(block).U32(0);
}
std::optional<int32_t> DecodeInt32Value(std::span<const uint8_t> block) {
  auto v = DecodeUInt32Value(block);
  if (!v) return std::nullopt;
  return static_cast<int32_t>(*v);
}
WlanBlock EncodeUInt32Value(uint32_t value) {
  WlanBlock out;
  Put32(out, value);
  return out;
}
WlanBlock EncodeInt32Value(int32_t value) { return EncodeUInt32Value(static_cast<uint32_t>(value)); }

}  // namespace skimlet
