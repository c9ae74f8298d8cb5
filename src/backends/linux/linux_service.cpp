#include "backends/linux/linux_wlan_service.h"

#include <fcntl.h>
#include <linux/nl80211.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>

#include "backends/linux/sysfs.h"
#include "core/beacon/beacon_reader.h"
#include "core/radio/values.h"

namespace skimlet::linuxwifi {

namespace {

uint64_t NowFiletime() {
  auto since1970 =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
          .count();
  return static_cast<uint64_t>(since1970) * 10 + 116444736000000000ull;
}

}  // namespace

LinuxWlanService::LinuxWlanService(LinuxServiceOptions options)
    : options_(std::move(options)), kernel_(options_.Kernel ? options_.Kernel : SystemKernelDevices()) {}

LinuxWlanService::~LinuxWlanService() { Shutdown(); }

WlanResult LinuxWlanService::OpenHandle(uint32_t clientVersion, uint32_t& negotiatedVersion) {
  if (clientVersion < 1 || clientVersion > 2) return WlanError::kInvalidParameter;
  std::lock_guard<std::mutex> l(lock_);
  if (!control_)
    if (WlanResult r = OpenDevices(); r != WlanError::kSuccess) return r;
  open_ = true;
  negotiatedVersion = clientVersion;
  return WlanError::kSuccess;
}

// Under lock_: the sockets, the rfkill device and the notification thread.
WlanResult LinuxWlanService::OpenDevices() {
  std::string error;
  auto control = kernel_->OpenNl80211(error);
  auto events = control ? kernel_->OpenNl80211(error) : nullptr;
  auto trigger = events ? kernel_->OpenNl80211(error) : nullptr;
  if (!trigger || !events->Listen("scan")) {
    SendNotice("Wi-Fi: " + (error.empty() ? std::string("cannot listen to the kernel's scan events") : error));
    return WlanError::kNotSupported;
  }
  // Connections made, failed and ended. Without them the caller learns of a connection when it asks.
  events->Listen("mlme");
  Fd wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!wake) return WlanError::kNotEnoughMemory;
  control_ = std::move(control);
  events_ = std::move(events);
  trigger_ = std::move(trigger);
  wake_ = std::move(wake);
  rfkill_ = kernel_->OpenRfkill(O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  stop_ = false;
  worker_ = std::thread([this] { Run(); });
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::CloseHandle() {
  {
    std::lock_guard<std::mutex> l(lock_);
    if (!open_) return WlanError::kInvalidHandle;
    open_ = false;
  }
  std::lock_guard<std::mutex> cb(callbackLock_);
  callback_ = nullptr;
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::RegisterNotification(uint32_t sources, bool, WlanNotificationCallback callback) {
  {
    std::lock_guard<std::mutex> l(lock_);
    if (!open_) return WlanError::kInvalidHandle;
  }
  std::lock_guard<std::mutex> cb(callbackLock_);
  if (callback && (sources & (kNotificationSourceACM | kNotificationSourceMSM))) {
    callback_ = [callback, sources](const WlanNotification& n) {
      if (n.NotificationSource & sources) callback(n);
    };
  } else {
    callback_ = nullptr;
  }
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::EnumInterfaces(WlanBlock& interfaceList) {
  interfaceList.clear();
  std::lock_guard<std::mutex> l(lock_);
  if (!open_) return WlanError::kInvalidHandle;
  if (int rc = RefreshInterfaces(); rc != 0) return ErrnoToResult(rc);
  WLAN_INTERFACE_INFO_LIST list;
  for (const auto& i : interfaces_) list.InterfaceInfo.push_back({i.Guid, i.Description, StateOf(i)});
  interfaceList = list.Encode();
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::Scan(const WLAN_GUID& guid) {
  std::lock_guard<std::mutex> l(lock_);
  Interface* i = nullptr;
  if (WlanResult r = Enter(guid, i); r != 0) return r;
  if (RadioBlocked(*i)) return WlanError::kRadioOff;
  // A scan of an interface that is down or gone would never end: refused at once instead.
  std::optional<bool> up = InterfaceUp(options_.SysfsRoot, i->Name);
  if (!up && !InterfaceExists(options_.SysfsRoot, i->Name)) return WlanError::kNotFound;
  if (up == false) return WlanError::kInvalidState;
  {
    std::lock_guard<std::mutex> q(queueLock_);
    if (std::find(scanQueue_.begin(), scanQueue_.end(), i->IfIndex) == scanQueue_.end())
      scanQueue_.push_back(i->IfIndex);
  }
  Wake();
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::GetNetworkBssList(const WLAN_GUID& guid, const DOT11_SSID* ssid, uint32_t bssType,
                                               bool securityEnabled, WlanBlock& bssList) {
  bssList.clear();
  if (bssType < 1 || bssType > 3 || (ssid && ssid->uSSIDLength > 32)) return WlanError::kInvalidParameter;
  std::lock_guard<std::mutex> l(lock_);
  Interface* i = nullptr;
  if (WlanResult r = Enter(guid, i); r != 0) return r;
  std::vector<BssRecord> records;
  if (int rc = ScanDump(*i, records); rc != 0) return ErrnoToResult(rc);
  std::vector<WlanBssListItem> items;
  std::set<std::array<uint8_t, 6>> seen;  // an interrupted dump may list a BSS twice
  for (auto& r : records) {
    const WLAN_BSS_ENTRY& e = r.Item.Entry;
    if (!seen.insert(e.dot11Bssid).second) continue;
    if (bssType != 3 && e.dot11BssType != bssType) continue;
    if (ssid) {
      if (e.dot11Ssid.uSSIDLength != ssid->uSSIDLength ||
          !std::equal(ssid->ucSSID.begin(), ssid->ucSSID.begin() + ssid->uSSIDLength, e.dot11Ssid.ucSSID.begin()))
        continue;
      if (securityEnabled != ((e.usCapabilityInformation & 0x0010) != 0)) continue;
    }
    items.push_back(std::move(r.Item));
  }
  bssList = EncodeBssList(items);
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::QueryInterface(const WLAN_GUID& guid, uint32_t opcode, WlanBlock& data) {
  data.clear();
  std::lock_guard<std::mutex> l(lock_);
  Interface* i = nullptr;
  if (WlanResult r = Enter(guid, i); r != 0) return r;
  switch (opcode) {
    case kOpcodeInterfaceState: data = EncodeUInt32Value(StateOf(*i)); return WlanError::kSuccess;
    // Connections are the network manager's business, and nothing on Linux stops a scan for want of it:
    // callers asking whether scanning is available get "yes".
    case kOpcodeAutoConfEnabled: data = EncodeUInt32Value(1); return WlanError::kSuccess;
    case kOpcodeRadioState: {
      auto [soft, hard] = RadioOf(*i);
      WLAN_RADIO_STATE r;
      for (size_t p = 0; p < i->PhyTypes.size() && p < WLAN_RADIO_STATE::kMaxPhys; ++p)
        r.PhyRadioState.push_back({static_cast<uint32_t>(p), soft, hard});
      data = r.Encode();
      return WlanError::kSuccess;
    }
    case kOpcodeChannelNumber: {
      auto info = InterfaceNow(*i);
      if (!info || !info->FrequencyMHz || !info->HasSsid) return WlanError::kInvalidState;
      data = EncodeUInt32Value(FrequencyToChannel(info->FrequencyMHz * 1000));
      return WlanError::kSuccess;
    }
    case kOpcodeCurrentConnection:
    case kOpcodeRssi:
    case kOpcodeStatistics: break;
    default: return WlanError::kNotSupported;  // auto-configuration and friends belong to the network manager
  }
  return QueryConnection(*i, opcode, data);
}

// Under lock_: the opcodes answered from the association (current connection, RSSI, statistics).
WlanResult LinuxWlanService::QueryConnection(const Interface& i, uint32_t opcode, WlanBlock& data) {
  std::optional<BssRecord> bss;
  std::optional<StationInfo> station;
  Association(i, bss, station);
  if (opcode == kOpcodeStatistics) {
    NetCounters net = ReadNetCounters(options_.SysfsRoot, i.Name);
    size_t phyIndex = bss ? ConnectionPhyIndex(i, *bss, station ? &*station : nullptr) : 0;
    data = StatisticsFrom(station ? &*station : nullptr, net, i.PhyTypes.size(), phyIndex).Encode();
    return WlanError::kSuccess;
  }
  if (!bss) return WlanError::kInvalidState;
  if (opcode == kOpcodeRssi) {
    if (!station || !station->SignalDbm) return WlanError::kInvalidState;
    data = EncodeInt32Value(*station->SignalDbm);
    return WlanError::kSuccess;
  }
  data = ConnectionAttributes(i, *bss, station).Encode();
  return WlanError::kSuccess;
}

WLAN_CONNECTION_ATTRIBUTES LinuxWlanService::ConnectionAttributes(const Interface& i, const BssRecord& bss,
                                                                  const std::optional<StationInfo>& station) {
  const WLAN_BSS_ENTRY& e = bss.Item.Entry;
  WLAN_CONNECTION_ATTRIBUTES a;
  a.isState = e.dot11BssType == 2 ? kInterfaceAdHocNetworkFormed : kInterfaceConnected;
  a.wlanConnectionMode = kConnectionModeProfile;
  a.dot11Ssid = e.dot11Ssid;
  a.dot11BssType = e.dot11BssType;
  a.dot11Bssid = e.dot11Bssid;
  size_t phyIndex = ConnectionPhyIndex(i, bss, station ? &*station : nullptr);
  a.uDot11PhyIndex = static_cast<uint32_t>(phyIndex);
  a.dot11PhyType = phyIndex < i.PhyTypes.size() ? i.PhyTypes[phyIndex] : e.dot11BssPhyType;
  int32_t rssi = station && station->SignalDbm ? *station->SignalDbm : e.lRssi;
  a.wlanSignalQuality = LinkQualityFromRssi(rssi);
  if (station) {
    a.ulRxRate = station->RxKbps;
    a.ulTxRate = station->TxKbps;
  }
  TBeaconSecurity security = BeaconSecurity(bss.Item.Blob, e.usCapabilityInformation);
  a.dot11AuthAlgorithm = security.Auth;
  a.dot11CipherAlgorithm = security.Cipher;
  a.bSecurityEnabled = a.dot11CipherAlgorithm != kCipherNone;
  a.bOneXEnabled = security.OneX;
  if (options_.UseNetworkManager) {  // the profile in use, when NetworkManager made the connection
    std::string profile;
    std::lock_guard<std::mutex> n(nmLock_);
    if (nm_.ActiveProfileName(i.Name, profile) == 0 && IsValidWlanName(profile)) a.strProfileName = profile;
  }
  return a;
}

WlanResult LinuxWlanService::SetInterface(const WLAN_GUID& guid, uint32_t opcode, std::span<const uint8_t> data) {
  std::lock_guard<std::mutex> l(lock_);
  Interface* i = nullptr;
  if (WlanResult r = Enter(guid, i); r != 0) return r;
  if (opcode != kOpcodeRadioState) return WlanError::kNotSupported;
  auto r = WLAN_PHY_RADIO_STATE::Decode(data);
  if (!r || r->dwPhyIndex >= i->PhyTypes.size() ||
      (r->dot11SoftwareRadioState != kRadioOn && r->dot11SoftwareRadioState != kRadioOff))
    return WlanError::kInvalidParameter;
  int index = RfkillIndexOf(options_.SysfsRoot, i->WiphyName);
  if (index < 0) return WlanError::kNotSupported;
  Fd fd = kernel_->OpenRfkill(O_WRONLY | O_CLOEXEC);
  if (!fd) {
    int e = errno;
    if (options_.UseNetworkManager) {  // NetworkManager may switch it for an unprivileged program
      std::lock_guard<std::mutex> n(nmLock_);
      if (nm_.SetWirelessEnabled(r->dot11SoftwareRadioState == kRadioOn) == 0) return WlanError::kSuccess;
    }
    return e == EACCES || e == EPERM ? WlanError::kAccessDenied : ErrnoToResult(e);
  }
  auto request = RfkillSoftBlockRequest(static_cast<uint32_t>(index), r->dot11SoftwareRadioState == kRadioOff);
  if (::write(fd.Get(), request.data(), request.size()) != static_cast<ssize_t>(request.size()))
    return errno == EACCES || errno == EPERM ? WlanError::kAccessDenied : ErrnoToResult(errno);
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::GetInterfaceCapability(const WLAN_GUID& guid, WlanBlock& capability) {
  capability.clear();
  std::lock_guard<std::mutex> l(lock_);
  Interface* i = nullptr;
  if (WlanResult r = Enter(guid, i); r != 0) return r;
  WLAN_INTERFACE_CAPABILITY c;
  c.interfaceType = 1;
  c.bDot11DSupported = 1;
  c.dwMaxDesiredSsidListSize = 1;
  c.dwMaxDesiredBssidListSize = 1;
  c.dot11PhyTypes = i->PhyTypes;
  capability = c.Encode();
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::Connect(const WLAN_GUID& guid, const WLAN_CONNECTION_PARAMETERS& p) {
  std::string ifname;
  if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
  if (p.dot11BssType < 1 || p.dot11BssType > 3) return WlanError::kInvalidParameter;
  std::optional<std::array<uint8_t, 6>> bssid;
  if (p.pDesiredBssidList && p.pDesiredBssidList->uNumOfEntries > 0) {
    if (p.pDesiredBssidList->BSSIDs.size() < p.pDesiredBssidList->uNumOfEntries) return WlanError::kInvalidParameter;
    bssid = p.pDesiredBssidList->BSSIDs.front();
  }
  std::lock_guard<std::mutex> n(nmLock_);
  switch (p.wlanConnectionMode) {
    case kConnectionModeProfile:
      if (!IsValidWlanName(p.strProfile)) return WlanError::kInvalidParameter;
      return nm_.ConnectProfile(ifname, p.strProfile, bssid);
    case kConnectionModeDiscoverySecure:
    case kConnectionModeDiscoveryUnsecure:
      if (!p.pDot11Ssid || p.pDot11Ssid->uSSIDLength == 0 || p.pDot11Ssid->uSSIDLength > 32)
        return WlanError::kInvalidParameter;
      return nm_.Connect(ifname, std::span<const uint8_t>(p.pDot11Ssid->ucSSID.data(), p.pDot11Ssid->uSSIDLength),
                         bssid, p.dot11BssType);
    case kConnectionModeTemporaryProfile: return WlanError::kNotSupported;  // profiles as XML texts
    default: return WlanError::kInvalidParameter;
  }
}

WlanResult LinuxWlanService::Disconnect(const WLAN_GUID& guid) {
  std::string ifname;
  if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
  std::lock_guard<std::mutex> n(nmLock_);
  return nm_.Disconnect(ifname);
}

WlanResult LinuxWlanService::GetProfileList(const WLAN_GUID& guid, WlanBlock& profileList) {
  profileList.clear();
  std::string ifname;
  if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
  std::vector<NmProfile> profiles;
  {
    std::lock_guard<std::mutex> n(nmLock_);
    if (WlanResult r = nm_.Profiles(ifname, profiles); r != 0) return r;
  }
  WLAN_PROFILE_INFO_LIST list;
  for (const auto& p : profiles) list.ProfileInfo.push_back({p.Id, 0});
  profileList = list.Encode();
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::DeleteProfile(const WLAN_GUID& guid, std::string_view name) {
  std::string ifname;
  if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
  std::lock_guard<std::mutex> n(nmLock_);
  return nm_.DeleteProfile(ifname, name);
}

WlanResult LinuxWlanService::RenameProfile(const WLAN_GUID& guid, std::string_view oldName, std::string_view newName) {
  std::string ifname;
  if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
  std::lock_guard<std::mutex> n(nmLock_);
  return nm_.RenameProfile(ifname, oldName, newName);
}

WlanResult LinuxWlanService::SetProfilePosition(const WLAN_GUID& guid, std::string_view name, uint32_t position) {
  std::string ifname;
  if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
  std::lock_guard<std::mutex> n(nmLock_);
  return nm_.SetProfilePosition(ifname, name, position);
}

// The connection editor runs beside the program: the call returns once it has started.
WlanResult LinuxWlanService::EditProfile(uint32_t, std::string_view name, const WLAN_GUID& guid, void*, uint32_t,
                                         uint32_t& reasonCode) {
  reasonCode = 0;
  std::string ifname;
  if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
  std::lock_guard<std::mutex> n(nmLock_);
  return nm_.EditProfile(ifname, name);
}

WlanResult LinuxWlanService::ChannelSurveys(const WLAN_GUID& guid, std::vector<ChannelSurvey>& surveys) {
  surveys.clear();
  std::lock_guard<std::mutex> l(lock_);
  Interface* i = nullptr;
  if (WlanResult r = Enter(guid, i); r != 0) return r;
  std::vector<std::vector<uint8_t>> messages;
  int rc =
      DumpNl80211(*control_, NL80211_CMD_GET_SURVEY, NlAttributes().U32(NL80211_ATTR_IFINDEX, i->IfIndex), messages);
  if (rc != 0) return ErrnoToResult(rc);
  for (const auto& m : messages)
    if (auto s = ParseSurvey(m)) surveys.push_back(*s);
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::ErrnoToResult(int e) {
  switch (e) {
    case 0: return WlanError::kSuccess;
    case EPERM:
    case EACCES: return WlanError::kAccessDenied;
    case ENOMEM: return WlanError::kNotEnoughMemory;
    case EBUSY: return WlanError::kBusy;
    case ENODEV:
    case ENOENT: return WlanError::kNotFound;
    case EOPNOTSUPP: return WlanError::kNotSupported;
    case ENETDOWN: return WlanError::kInvalidState;
    default: return 1117;  // an input/output error: a malformed, truncated or missing reply
  }
}

// The name of the interface of Guid for a NetworkManager operation; "not supported" when NetworkManager is
// not to be used.
WlanResult LinuxWlanService::NetworkManagerInterface(const WLAN_GUID& guid, std::string& ifname) {
  std::lock_guard<std::mutex> l(lock_);
  Interface* i = nullptr;
  if (WlanResult r = Enter(guid, i); r != 0) return r;
  if (!options_.UseNetworkManager) return WlanError::kNotSupported;
  ifname = i->Name;
  return WlanError::kSuccess;
}

WlanResult LinuxWlanService::QueryInterfaceIdentity(const WLAN_GUID& guid, WlanInterfaceIdentity& identity) {
  identity = {};
  std::lock_guard<std::mutex> l(lock_);
  Interface* i = nullptr;
  if (WlanResult r = Enter(guid, i); r != 0) return r;
  // Asked anew: an interface that was unplugged or deleted is no longer there.
  auto now = InterfaceNow(*i);
  if (!now) return WlanError::kNotFound;
  identity.Name = now->Name;
  identity.Mac = now->Mac;
  if (std::optional<bool> up = InterfaceUp(options_.SysfsRoot, now->Name)) identity.Up = *up;
  std::lock_guard<std::mutex> q(queueLock_);
  identity.ScansRefused = refused_.count(i->IfIndex) > 0;
  return WlanError::kSuccess;
}

// Under lock_: the interface of Guid (enumerating again once when it is not known yet).
WlanResult LinuxWlanService::Enter(const WLAN_GUID& guid, Interface*& out) {
  if (!open_) return WlanError::kInvalidHandle;
  for (int pass = 0; pass < 2; ++pass) {
    for (auto& i : interfaces_)
      if (i.Guid == guid) {
        out = &i;
        return WlanError::kSuccess;
      }
    if (pass == 0 && RefreshInterfaces() != 0) break;
  }
  return WlanError::kNotFound;
}

int LinuxWlanService::RefreshInterfaces() {
  std::vector<std::vector<uint8_t>> messages;
  if (int rc = DumpNl80211(*control_, NL80211_CMD_GET_INTERFACE, {}, messages); rc != 0) return rc;
  std::vector<InterfaceInfo> infos;
  for (const auto& m : messages)
    if (auto info = ParseInterface(m); info && info->IfType == kIfTypeStation) infos.push_back(*info);
  std::vector<WiphyInfo> wiphys;
  messages.clear();
  int rc = DumpNl80211(*control_, NL80211_CMD_GET_WIPHY, NlAttributes().Flag(NL80211_ATTR_SPLIT_WIPHY_DUMP), messages);
  if (rc != 0) return rc;
  for (const auto& m : messages) MergeWiphy(m, wiphys);

  std::vector<Interface> list;
  for (const auto& info : infos) {
    Interface i;
    i.IfIndex = info.IfIndex;
    i.Name = info.Name;
    i.Wiphy = info.Wiphy;
    i.Connected = info.HasSsid;
    auto w = std::find_if(wiphys.begin(), wiphys.end(), [&](const WiphyInfo& x) { return x.Index == info.Wiphy; });
    if (w != wiphys.end()) {
      i.WiphyName = w->Name;
      i.PhyTypes = PhyTypesOf(*w);
    }
    if (i.WiphyName.empty()) i.WiphyName = "phy" + std::to_string(info.Wiphy);
    auto perm = WiphyPermanentAddress(options_.SysfsRoot, i.WiphyName);
    i.Guid = GuidFromPermanentAddress(perm.value_or(info.Mac));
    i.Description = DescribeInterface(options_.SysfsRoot, i.Name);
    if (!IsValidWlanName(i.Description)) i.Description = "Wi-Fi adapter";
    list.push_back(std::move(i));
  }
  interfaces_ = std::move(list);
  std::vector<Route> routes;
  for (const auto& i : interfaces_)
    routes.push_back({i.Guid, i.IfIndex, i.Name, RfkillIndexOf(options_.SysfsRoot, i.WiphyName), i.PhyTypes.size()});
  std::lock_guard<std::mutex> q(queueLock_);
  routes_ = std::move(routes);
  return 0;
}

std::optional<InterfaceInfo> LinuxWlanService::InterfaceNow(const Interface& i) {
  Nl80211Reply reply;
  int rc =
      control_->Request({NL80211_CMD_GET_INTERFACE, false, NlAttributes().U32(NL80211_ATTR_IFINDEX, i.IfIndex)}, reply);
  if (rc != 0 || reply.Messages.empty()) return std::nullopt;
  return ParseInterface(reply.Messages.front());
}

uint32_t LinuxWlanService::StateOf(const Interface& i) {
  if (InterfaceUp(options_.SysfsRoot, i.Name) == false) return kInterfaceNotReady;
  auto now = InterfaceNow(i);
  bool connected = now ? now->HasSsid : i.Connected;
  return connected ? kInterfaceConnected : kInterfaceDisconnected;
}

int LinuxWlanService::ScanDump(const Interface& i, std::vector<BssRecord>& out) {
  std::vector<std::vector<uint8_t>> messages;
  int rc = DumpNl80211(*control_, NL80211_CMD_GET_SCAN, NlAttributes().U32(NL80211_ATTR_IFINDEX, i.IfIndex), messages);
  if (rc != 0) return rc;
  uint64_t now = NowFiletime();
  for (const auto& m : messages)
    if (auto r = ParseBss(m, i.PhyTypes, now)) out.push_back(std::move(*r));  // a malformed BSS is left out
  return 0;
}

void LinuxWlanService::Association(const Interface& i, std::optional<BssRecord>& bss,
                                   std::optional<StationInfo>& station) {
  std::vector<BssRecord> records;
  if (ScanDump(i, records) != 0) return;
  for (auto& r : records)
    if (r.Associated) {
      bss = std::move(r);
      break;
    }
  if (!bss) return;
  auto bssid = bss->Item.Entry.dot11Bssid;
  Nl80211Reply reply;
  int rc = control_->Request({NL80211_CMD_GET_STATION, false,
                              NlAttributes().U32(NL80211_ATTR_IFINDEX, i.IfIndex).Bytes(NL80211_ATTR_MAC, bssid)},
                             reply);
  if (rc == 0 && !reply.Messages.empty()) station = ParseStation(reply.Messages.front());
}

// The PHY index of a connection: HE, VHT or HT by the transmit rate's modulation, else the band's legacy PHY.
size_t LinuxWlanService::ConnectionPhyIndex(const Interface& i, const BssRecord& bss, const StationInfo* sta) {
  uint32_t type = bss.Item.Entry.dot11BssPhyType;
  if (sta) {
    bool band24 = bss.Item.Entry.ulChCenterFrequency < 2500000;
    type = sta->TxHE ? 10 : sta->TxVHT ? 8 : sta->TxHT ? 7 : band24 ? (sta->TxKbps > 11000 ? 6 : 5) : 4;
  }
  auto it = std::find(i.PhyTypes.begin(), i.PhyTypes.end(), type);
  return it == i.PhyTypes.end() ? 0 : static_cast<size_t>(it - i.PhyTypes.begin());
}

// Software and hardware radio state of the interface's wiphy (on when it has no switch).
std::pair<uint32_t, uint32_t> LinuxWlanService::RadioOf(const Interface& i) {
  int index = RfkillIndexOf(options_.SysfsRoot, i.WiphyName);
  if (index < 0) return {kRadioOn, kRadioOn};
  return RfkillState(options_.SysfsRoot, index);
}

bool LinuxWlanService::RadioBlocked(const Interface& i) {
  auto [soft, hard] = RadioOf(i);
  return soft == kRadioOff || hard == kRadioOff;
}

void LinuxWlanService::Wake() {
  uint64_t one = 1;
  if (::write(wake_.Get(), &one, sizeof one) < 0) { /* the counter is already set */
  }
}

void LinuxWlanService::SendNotice(const std::string& text) {
  std::lock_guard<std::mutex> l(noticeLock_);
  if (!notices_.insert(text).second) return;
  if (options_.Notice) options_.Notice(text);
  else std::cerr << text << "\n";
}

void LinuxWlanService::Deliver(const WlanNotification& n) {
  if (!open_) return;
  std::lock_guard<std::mutex> cb(callbackLock_);
  if (!callback_) return;
  try {
    callback_(n);
  } catch (...) {}
}

// A notification of the automatic configuration module for the interface of IfIndex; nothing for
// interfaces the caller does not know (not listed yet, or not stations).
void LinuxWlanService::NotifyInterface(uint32_t ifindex, uint32_t code) {
  std::optional<WLAN_GUID> guid;
  {
    std::lock_guard<std::mutex> q(queueLock_);
    for (const auto& r : routes_)
      if (r.IfIndex == ifindex) guid = r.Guid;
  }
  if (guid) Deliver({kNotificationSourceACM, code, *guid, {}});
}

void LinuxWlanService::TriggerScan(uint32_t ifindex) {
  // The wildcard SSID (an empty one) makes the scan active.
  Nl80211Request request{
      NL80211_CMD_TRIGGER_SCAN, false,
      NlAttributes().U32(NL80211_ATTR_IFINDEX, ifindex).Nested(NL80211_ATTR_SCAN_SSIDS, NlAttributes().Bytes(1, {}))};
  Nl80211Reply reply;
  int rc = trigger_->Request(request, reply);
  if (rc == 0 || rc == EBUSY) {  // our scan, or one already running: its results end both
    std::lock_guard<std::mutex> q(queueLock_);
    refused_.erase(ifindex);
    return;
  }
  if (rc == EPERM || rc == EACCES) {
    std::string ifname;
    {
      std::lock_guard<std::mutex> q(queueLock_);
      for (const auto& r : routes_)
        if (r.IfIndex == ifindex) ifname = r.Name;
    }
    std::string why = "NetworkManager is not asked";
    if (options_.UseNetworkManager && scanNm_.RequestScan(ifname, why) == 0) {
      std::lock_guard<std::mutex> q(queueLock_);
      refused_.erase(ifindex);
      return;  // NetworkManager scans; the kernel's event ends it
    }
    {
      std::lock_guard<std::mutex> q(queueLock_);
      refused_.insert(ifindex);
    }
    SendNotice("Wi-Fi: the kernel refuses to start scans for this program, and NetworkManager cannot scan for it (" +
               why +
               "). Showing the results of scans other programs start. To let the program scan itself, "
               "give it CAP_NET_ADMIN, e.g. sudo setcap cap_net_admin+ep /path/to/the/program");
    NotifyInterface(ifindex, kAcmScanComplete);  // what the kernel holds now is the best there is
    return;
  }
  NotifyInterface(ifindex, kAcmScanFail);
}

void LinuxWlanService::OnRfkill() {
  std::vector<RfkillEvent> events;
  uint8_t buf[64];
  for (;;) {
    ssize_t n = ::read(rfkill_.Get(), buf, sizeof buf);
    if (n < 8) break;
    // Each read returns one event; newer kernels' events are longer than the 8 bytes read here.
    auto e = ParseRfkillEvents(std::span<const uint8_t>(buf, static_cast<size_t>(n)), static_cast<size_t>(n));
    events.insert(events.end(), e.begin(), e.end());
  }
  std::vector<Route> routes;
  {
    std::lock_guard<std::mutex> q(queueLock_);
    routes = routes_;
  }
  for (const auto& e : events) {
    if (e.Op != 2) continue;  // only changes; the initial list needs no news
    for (const auto& r : routes) {
      if (r.Rfkill != static_cast<int>(e.Index)) continue;
      for (size_t p = 0; p < r.PhyCount; ++p) {
        WLAN_PHY_RADIO_STATE s{static_cast<uint32_t>(p), e.Soft ? uint32_t{kRadioOff} : uint32_t{kRadioOn},
                               e.Hard ? uint32_t{kRadioOff} : uint32_t{kRadioOn}};
        Deliver({kNotificationSourceMSM, kMsmRadioStateChange, r.Guid, s.Encode()});
      }
    }
  }
}

void LinuxWlanService::Run() {
  for (;;) {
    pollfd fds[3] = {{wake_.Get(), POLLIN, 0}, {events_->FileDescriptor(), POLLIN, 0}, {rfkill_.Get(), POLLIN, 0}};
    int n = ::poll(fds, rfkill_ ? 3 : 2, -1);
    if (n < 0 && errno != EINTR) break;
    if (fds[0].revents) {
      uint64_t count;
      if (::read(wake_.Get(), &count, sizeof count) < 0) { /* nothing pending */
      }
    }
    std::deque<uint32_t> scans;
    {
      std::lock_guard<std::mutex> q(queueLock_);
      if (stop_) return;
      scans.swap(scanQueue_);
    }
    if (fds[1].revents) {
      events_->Drain([&](std::span<const uint8_t> datagram, bool overrun) {
        if (overrun) return;
        for (const InterfaceNotification& n : EventNotifications(datagram)) NotifyInterface(n.IfIndex, n.Code);
      });
    }
    if (rfkill_ && (fds[2].revents & POLLIN)) OnRfkill();
    for (uint32_t ifindex : scans) TriggerScan(ifindex);
  }
}

void LinuxWlanService::Shutdown() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard<std::mutex> q(queueLock_);
    stop_ = true;
  }
  Wake();
  worker_.join();
}

std::unique_ptr<WlanService> CreateLinuxService(LinuxServiceOptions options) {
  return std::make_unique<LinuxWlanService>(std::move(options));
}

}  // namespace skimlet::linuxwifi
