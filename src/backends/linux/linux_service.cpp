#include "backends/linux/linux_service.h"

#include <fcntl.h>
#include <linux/netlink.h>
#include <linux/nl80211.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>
#include <utility>

#include "backends/linux/nl80211_parse.h"
#include "backends/linux/nm_client.h"
#include "core/beacon/beacon_reader.h"
#include "core/radio/values.h"


namespace skimlet::linuxwifi {

namespace fs = std::filesystem;

namespace {

// ---- Small RAII wrappers ------------------------------------------------------------------------------------

class Fd {
public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
  Fd& operator=(Fd&& o) noexcept {
    if (this != &o) {
      Reset();
      fd_ = std::exchange(o.fd_, -1);
    }
    return *this;
  }
  ~Fd() { Reset(); }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

private:
  int fd_ = -1;
};

struct NlMsgFree {
  void operator()(nl_msg* m) const { nlmsg_free(m); }
};
using NlMsg = std::unique_ptr<nl_msg, NlMsgFree>;

struct NlSockFree {
  void operator()(nl_sock* s) const { nl_socket_free(s); }
};

constexpr int kReplyTimeoutMs = 5000;
constexpr int kDumpAttempts = 4;

// A generic netlink socket speaking nl80211. Requests are sent with libnl; replies are read as datagrams and
// assembled by NetlinkReply, so that the parsing is the same code the tests feed recorded messages to.
class Nl80211Socket {
public:
  // Nullptr and Error when the kernel has no nl80211.
  static std::unique_ptr<Nl80211Socket> Open(std::string& error) {
    std::unique_ptr<nl_sock, NlSockFree> sock(nl_socket_alloc());
    if (!sock) {
      error = "out of memory";
      return nullptr;
    }
    if (int rc = genl_connect(sock.get()); rc < 0) {
      error = std::string("cannot open a generic netlink socket: ") + nl_geterror(rc);
      return nullptr;
    }
    int family = genl_ctrl_resolve(sock.get(), "nl80211");
    if (family < 0) {
      error = "the kernel offers no nl80211 (no wireless drivers loaded)";
      return nullptr;
    }
    nl_socket_set_buffer_size(sock.get(), 1 << 20, 0);
    auto s = std::unique_ptr<Nl80211Socket>(new Nl80211Socket);
    s->sock_ = std::move(sock);
    s->family_ = family;
    return s;
  }

  // Joins the nl80211 multicast group Name; the socket then only listens. False when it cannot.
  bool Listen(const char* name) {
    int group = genl_ctrl_resolve_grp(sock_.get(), "nl80211", name);
    if (group < 0 || nl_socket_add_membership(sock_.get(), group) < 0) return false;
    nl_socket_disable_seq_check(sock_.get());
    return nl_socket_set_nonblocking(sock_.get()) == 0;
  }

  int FileDescriptor() const { return nl_socket_get_fd(sock_.get()); }

  // Sends a command and collects its reply. 0, or the positive errno of the failure (EIO for a malformed
  // reply, ETIMEDOUT when none came).
  int Request(uint8_t command, bool dump, const std::function<void(nl_msg*)>& fill, NetlinkReply*& out,
              std::unique_ptr<NetlinkReply>& holder) {
    NlMsg msg(nlmsg_alloc());
    if (!msg) return ENOMEM;
    if (!genlmsg_put(msg.get(), NL_AUTO_PORT, NL_AUTO_SEQ, family_, 0, dump ? NLM_F_DUMP : 0, command, 0)) return ENOMEM;
    if (fill) fill(msg.get());
    if (int rc = nl_send_auto(sock_.get(), msg.get()); rc < 0) return EIO;
    holder = std::make_unique<NetlinkReply>(nlmsg_hdr(msg.get())->nlmsg_seq, dump);
    out = holder.get();
    int fd = FileDescriptor();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    while (out->GetState() == NetlinkReply::State::Pending) {
      int left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
      if (left <= 0) return ETIMEDOUT;
      pollfd p{fd, POLLIN, 0};
      int pr = ::poll(&p, 1, left);
      if (pr < 0 && errno == EINTR) continue;
      if (pr <= 0) return ETIMEDOUT;
      ssize_t size = ::recv(fd, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
      if (size < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        if (errno == ENOBUFS) return EIO;  // the kernel dropped messages: the dump is incomplete
        return errno;
      }
      buffer_.resize(std::max<size_t>(static_cast<size_t>(size), 4096));
      ssize_t got = ::recv(fd, buffer_.data(), buffer_.size(), MSG_DONTWAIT);
      if (got < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return errno;
      }
      out->Feed(std::span<const uint8_t>(buffer_.data(), static_cast<size_t>(got)));
    }
    if (out->GetState() == NetlinkReply::State::Failed) return out->Error();
    if (out->GetState() == NetlinkReply::State::Malformed) return EIO;
    return 0;
  }

  // A dump, taken again while the kernel reports it interrupted (its list changed meanwhile). The last attempt
  // is used as it stands.
  int Dump(uint8_t command, const std::function<void(nl_msg*)>& fill, std::vector<std::vector<uint8_t>>& messages) {
    int rc = 0;
    for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
      NetlinkReply* reply = nullptr;
      std::unique_ptr<NetlinkReply> holder;
      rc = Request(command, true, fill, reply, holder);
      if (rc != 0) return rc;
      messages = reply->Messages();
      if (!reply->Interrupted()) break;
    }
    return 0;
  }

  // Reads whatever datagrams are waiting (a listening socket) and hands each to F.
  template <typename F>
  void Drain(F&& f) {
    int fd = FileDescriptor();
    for (;;) {
      ssize_t size = ::recv(fd, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
      if (size < 0) {
        if (errno == EINTR) continue;
        if (errno == ENOBUFS) {  // overrun: events were lost, but the socket goes on
          f(std::span<const uint8_t>{}, true);
          continue;
        }
        return;
      }
      buffer_.resize(std::max<size_t>(static_cast<size_t>(size), 4096));
      ssize_t got = ::recv(fd, buffer_.data(), buffer_.size(), MSG_DONTWAIT);
      if (got <= 0) return;
      f(std::span<const uint8_t>(buffer_.data(), static_cast<size_t>(got)), false);
    }
  }

private:
  Nl80211Socket() = default;
  std::unique_ptr<nl_sock, NlSockFree> sock_;
  int family_ = 0;
  std::vector<uint8_t> buffer_;
};

// ---- sysfs ----------------------------------------------------------------------------------------------------

std::string ReadLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  if (in) std::getline(in, line);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

uint64_t ReadNumber(const fs::path& path) {
  std::string s = ReadLine(path);
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  return v;
}

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The name of a PCI device from pci.ids: the vendor's first word and the subsystem's name when listed, else the
// device's.
std::string PciName(const std::string& vendor, const std::string& device, const std::string& subVendor,
                    const std::string& subDevice) {
  for (const char* file : {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"}) {
    std::ifstream in(file);
    if (!in) continue;
    std::string line, vendorName, deviceName, subName;
    bool inVendor = false, inDevice = false;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      if (line[0] != '\t') {
        if (inVendor) break;
        if (line.size() > 6 && Lower(line.substr(0, 4)) == vendor) {
          inVendor = true;
          vendorName = line.substr(6);
        }
        continue;
      }
      if (!inVendor) continue;
      if (line.size() > 1 && line[1] != '\t') {
        if (inDevice) break;
        if (line.size() > 7 && Lower(line.substr(1, 4)) == device) {
          inDevice = true;
          deviceName = line.substr(7);
        }
        continue;
      }
      if (inDevice && line.size() > 13 && Lower(line.substr(2, 4)) == subVendor && Lower(line.substr(7, 4)) == subDevice)
        subName = line.substr(13);
    }
    if (deviceName.empty()) continue;
    std::string brand = vendorName.substr(0, vendorName.find(' '));
    return brand + " " + (subName.empty() ? deviceName : subName);
  }
  return {};
}

std::string StripHex(std::string s) {
  if (s.rfind("0x", 0) == 0) s = s.substr(2);
  return Lower(s);
}

// The rfkill index of a wiphy (its "rfkillN" child in sysfs), or -1.
int RfkillIndexOf(const std::string& sysfsRoot, const std::string& wiphyName) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "class" / "ieee80211" / wiphyName, ec)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("rfkill", 0) == 0 && name.size() > 6 &&
        std::all_of(name.begin() + 6, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return std::stoi(name.substr(6));
  }
  return -1;
}

uint64_t NowFiletime() {
  auto since1970 = std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::system_clock::now().time_since_epoch()).count();
  return static_cast<uint64_t>(since1970) * 10 + 116444736000000000ull;
}

// ---- The service ------------------------------------------------------------------------------------------------

struct Interface {
  WLAN_GUID Guid{};
  uint32_t IfIndex = 0;
  std::string Name;
  uint32_t Wiphy = 0;
  std::string WiphyName;
  std::vector<uint32_t> PhyTypes;
  std::string Description;
  bool Connected = false;
};

// What the notification thread knows about the interfaces.
struct Route {
  WLAN_GUID Guid{};
  uint32_t IfIndex = 0;
  std::string Name;
  int Rfkill = -1;
  size_t PhyCount = 0;
};

class LinuxWlanService : public WlanService {
public:
  explicit LinuxWlanService(LinuxServiceOptions options) : options_(std::move(options)) {}
  ~LinuxWlanService() override { Shutdown(); }

  WlanResult OpenHandle(uint32_t clientVersion, uint32_t& negotiatedVersion) override {
    if (clientVersion < 1 || clientVersion > 2) return WlanError::kInvalidParameter;
    std::lock_guard<std::mutex> l(lock_);
    if (!control_) {
      std::string error;
      auto control = Nl80211Socket::Open(error);
      auto events = control ? Nl80211Socket::Open(error) : nullptr;
      auto trigger = events ? Nl80211Socket::Open(error) : nullptr;
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
      rfkill_ = Fd(::open("/dev/rfkill", O_RDONLY | O_CLOEXEC | O_NONBLOCK));
      stop_ = false;
      worker_ = std::thread([this] { Run(); });
    }
    open_ = true;
    negotiatedVersion = clientVersion;
    return WlanError::kSuccess;
  }

  WlanResult CloseHandle() override {
    {
      std::lock_guard<std::mutex> l(lock_);
      if (!open_) return WlanError::kInvalidHandle;
      open_ = false;
    }
    std::lock_guard<std::mutex> cb(callbackLock_);
    callback_ = nullptr;
    return WlanError::kSuccess;
  }

  WlanResult RegisterNotification(uint32_t sources, bool, WlanNotificationCallback callback) override {
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

  WlanResult EnumInterfaces(WlanBlock& interfaceList) override {
    interfaceList.clear();
    std::lock_guard<std::mutex> l(lock_);
    if (!open_) return WlanError::kInvalidHandle;
    if (int rc = RefreshInterfaces(); rc != 0) return ErrnoToResult(rc);
    WLAN_INTERFACE_INFO_LIST list;
    for (const auto& i : interfaces_) list.InterfaceInfo.push_back({i.Guid, i.Description, StateOf(i)});
    interfaceList = list.Encode();
    return WlanError::kSuccess;
  }

  WlanResult Scan(const WLAN_GUID& guid) override {
    std::lock_guard<std::mutex> l(lock_);
    Interface* i = nullptr;
    if (WlanResult r = Enter(guid, i); r != 0) return r;
    if (RadioBlocked(*i)) return WlanError::kRadioOff;
    // A scan of an interface that is down or gone would never end: refused at once instead.
    const fs::path net = fs::path(options_.SysfsRoot) / "class" / "net" / i->Name;
    std::string flags = ReadLine(net / "flags");
    std::error_code ec;
    if (flags.empty() && !fs::exists(net, ec)) return WlanError::kNotFound;
    if (!flags.empty() && (std::strtoul(flags.c_str(), nullptr, 16) & 1) == 0) return WlanError::kInvalidState;
    {
      std::lock_guard<std::mutex> q(queueLock_);
      if (std::find(scanQueue_.begin(), scanQueue_.end(), i->IfIndex) == scanQueue_.end())
        scanQueue_.push_back(i->IfIndex);
    }
    Wake();
    return WlanError::kSuccess;
  }

  WlanResult GetNetworkBssList(const WLAN_GUID& guid, const DOT11_SSID* ssid, uint32_t bssType, bool securityEnabled,
                               WlanBlock& bssList) override {
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

  WlanResult QueryInterface(const WLAN_GUID& guid, uint32_t opcode, WlanBlock& data) override {
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
        data = EncodeUInt32Value(ChannelOfFrequency(info->FrequencyMHz));
        return WlanError::kSuccess;
      }
      case kOpcodeCurrentConnection:
      case kOpcodeRssi:
      case kOpcodeStatistics: break;
      default: return WlanError::kNotSupported;  // auto-configuration and friends belong to the network manager
    }
    std::optional<BssRecord> bss;
    std::optional<StationInfo> station;
    Association(*i, bss, station);
    if (opcode == kOpcodeStatistics) {
      NetCounters net;
      fs::path stats = fs::path(options_.SysfsRoot) / "class" / "net" / i->Name / "statistics";
      net.RxPackets = ReadNumber(stats / "rx_packets");
      net.TxPackets = ReadNumber(stats / "tx_packets");
      net.Multicast = ReadNumber(stats / "multicast");
      net.RxCrcErrors = ReadNumber(stats / "rx_crc_errors");
      net.RxDropped = ReadNumber(stats / "rx_dropped");
      net.TxErrors = ReadNumber(stats / "tx_errors");
      size_t phyIndex = bss ? ConnectionPhyIndex(*i, *bss, station ? &*station : nullptr) : 0;
      data = StatisticsFrom(station ? &*station : nullptr, net, i->PhyTypes.size(), phyIndex).Encode();
      return WlanError::kSuccess;
    }
    if (!bss) return WlanError::kInvalidState;
    if (opcode == kOpcodeRssi) {
      if (!station || !station->SignalDbm) return WlanError::kInvalidState;
      data = EncodeInt32Value(*station->SignalDbm);
      return WlanError::kSuccess;
    }
    const WLAN_BSS_ENTRY& e = bss->Item.Entry;
    WLAN_CONNECTION_ATTRIBUTES a;
    a.isState = e.dot11BssType == 2 ? kInterfaceAdHocNetworkFormed : kInterfaceConnected;
    a.wlanConnectionMode = kConnectionModeProfile;
    a.dot11Ssid = e.dot11Ssid;
    a.dot11BssType = e.dot11BssType;
    a.dot11Bssid = e.dot11Bssid;
    size_t phyIndex = ConnectionPhyIndex(*i, *bss, station ? &*station : nullptr);
    a.uDot11PhyIndex = static_cast<uint32_t>(phyIndex);
    a.dot11PhyType = phyIndex < i->PhyTypes.size() ? i->PhyTypes[phyIndex] : e.dot11BssPhyType;
    int32_t rssi = station && station->SignalDbm ? *station->SignalDbm : e.lRssi;
    a.wlanSignalQuality = LinkQualityFromRssi(rssi);
    if (station) {
      a.ulRxRate = station->RxKbps;
      a.ulTxRate = station->TxKbps;
    }
    TBeaconSecurity security = BeaconSecurity(bss->Item.Blob, e.usCapabilityInformation);
    a.dot11AuthAlgorithm = security.Auth;
    a.dot11CipherAlgorithm = security.Cipher;
    a.bSecurityEnabled = a.dot11CipherAlgorithm != kCipherNone;
    a.bOneXEnabled = security.OneX;
    if (options_.UseNetworkManager) {  // the profile in use, when NetworkManager made the connection
      std::string profile;
      std::lock_guard<std::mutex> n(nmLock_);
      if (nm_.ActiveProfileName(i->Name, profile) == 0 && IsValidWlanName(profile)) a.strProfileName = profile;
    }
    data = a.Encode();
    return WlanError::kSuccess;
  }

  WlanResult SetInterface(const WLAN_GUID& guid, uint32_t opcode, std::span<const uint8_t> data) override {
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
    Fd fd(::open("/dev/rfkill", O_WRONLY | O_CLOEXEC));
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

  WlanResult GetInterfaceCapability(const WLAN_GUID& guid, WlanBlock& capability) override {
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

  WlanResult Connect(const WLAN_GUID& guid, const WLAN_CONNECTION_PARAMETERS& p) override {
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

  WlanResult Disconnect(const WLAN_GUID& guid) override {
    std::string ifname;
    if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
    std::lock_guard<std::mutex> n(nmLock_);
    return nm_.Disconnect(ifname);
  }

  WlanResult GetProfileList(const WLAN_GUID& guid, WlanBlock& profileList) override {
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

  WlanResult DeleteProfile(const WLAN_GUID& guid, std::string_view name) override {
    std::string ifname;
    if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
    std::lock_guard<std::mutex> n(nmLock_);
    return nm_.DeleteProfile(ifname, name);
  }

  WlanResult RenameProfile(const WLAN_GUID& guid, std::string_view oldName, std::string_view newName) override {
    std::string ifname;
    if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
    std::lock_guard<std::mutex> n(nmLock_);
    return nm_.RenameProfile(ifname, oldName, newName);
  }

  WlanResult SetProfilePosition(const WLAN_GUID& guid, std::string_view name, uint32_t position) override {
    std::string ifname;
    if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
    std::lock_guard<std::mutex> n(nmLock_);
    return nm_.SetProfilePosition(ifname, name, position);
  }

  // The connection editor runs beside the program: the call returns once it has started.
  WlanResult EditProfile(uint32_t, std::string_view name, const WLAN_GUID& guid, void*, uint32_t,
                         uint32_t& reasonCode) override {
    reasonCode = 0;
    std::string ifname;
    if (WlanResult r = NetworkManagerInterface(guid, ifname); r != 0) return r;
    std::lock_guard<std::mutex> n(nmLock_);
    return nm_.EditProfile(ifname, name);
  }

private:
  static WlanResult ErrnoToResult(int e) {
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
  WlanResult NetworkManagerInterface(const WLAN_GUID& guid, std::string& ifname) {
    std::lock_guard<std::mutex> l(lock_);
    Interface* i = nullptr;
    if (WlanResult r = Enter(guid, i); r != 0) return r;
    if (!options_.UseNetworkManager) return WlanError::kNotSupported;
    ifname = i->Name;
    return WlanError::kSuccess;
  }

  WlanResult QueryInterfaceIdentity(const WLAN_GUID& guid, WlanInterfaceIdentity& identity) override {
    identity = {};
    std::lock_guard<std::mutex> l(lock_);
    Interface* i = nullptr;
    if (WlanResult r = Enter(guid, i); r != 0) return r;
    // Asked anew: an interface that was unplugged or deleted is no longer there.
    auto now = InterfaceNow(*i);
    if (!now) return WlanError::kNotFound;
    identity.Name = now->Name;
    identity.Mac = now->Mac;
    std::string flags = ReadLine(fs::path(options_.SysfsRoot) / "class" / "net" / now->Name / "flags");
    if (!flags.empty()) identity.Up = (std::strtoul(flags.c_str(), nullptr, 16) & 1) != 0;  // IFF_UP
    std::lock_guard<std::mutex> q(queueLock_);
    identity.ScansRefused = refused_.count(i->IfIndex) > 0;
    return WlanError::kSuccess;
  }

  // Under lock_: the interface of Guid (enumerating again once when it is not known yet).
  WlanResult Enter(const WLAN_GUID& guid, Interface*& out) {
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

  int RefreshInterfaces() {
    std::vector<std::vector<uint8_t>> messages;
    if (int rc = control_->Dump(NL80211_CMD_GET_INTERFACE, nullptr, messages); rc != 0) return rc;
    std::vector<InterfaceInfo> infos;
    for (const auto& m : messages)
      if (auto info = ParseInterface(m); info && info->IfType == kIfTypeStation) infos.push_back(*info);
    std::vector<WiphyInfo> wiphys;
    messages.clear();
    int rc = control_->Dump(NL80211_CMD_GET_WIPHY, [](nl_msg* m) { nla_put_flag(m, NL80211_ATTR_SPLIT_WIPHY_DUMP); },
                            messages);
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
      auto perm = ParseMacText(ReadLine(fs::path(options_.SysfsRoot) / "class" / "ieee80211" / i.WiphyName / "macaddress"));
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

  std::optional<InterfaceInfo> InterfaceNow(const Interface& i) {
    NetlinkReply* reply = nullptr;
    std::unique_ptr<NetlinkReply> holder;
    int rc = control_->Request(NL80211_CMD_GET_INTERFACE, false,
                               [&](nl_msg* m) { nla_put_u32(m, NL80211_ATTR_IFINDEX, i.IfIndex); }, reply, holder);
    if (rc != 0 || reply->Messages().empty()) return std::nullopt;
    return ParseInterface(reply->Messages().front());
  }

  uint32_t StateOf(const Interface& i) {
    std::string flags = ReadLine(fs::path(options_.SysfsRoot) / "class" / "net" / i.Name / "flags");
    if (!flags.empty() && (std::strtoul(flags.c_str(), nullptr, 16) & 1) == 0) return kInterfaceNotReady;
    auto now = InterfaceNow(i);
    bool connected = now ? now->HasSsid : i.Connected;
    return connected ? kInterfaceConnected : kInterfaceDisconnected;
  }

  int ScanDump(const Interface& i, std::vector<BssRecord>& out) {
    std::vector<std::vector<uint8_t>> messages;
    int rc = control_->Dump(NL80211_CMD_GET_SCAN, [&](nl_msg* m) { nla_put_u32(m, NL80211_ATTR_IFINDEX, i.IfIndex); },
                            messages);
    if (rc != 0) return rc;
    uint64_t now = NowFiletime();
    for (const auto& m : messages)
      if (auto r = ParseBss(m, i.PhyTypes, now)) out.push_back(std::move(*r));  // a malformed BSS is left out
    return 0;
  }

  void Association(const Interface& i, std::optional<BssRecord>& bss, std::optional<StationInfo>& station) {
    std::vector<BssRecord> records;
    if (ScanDump(i, records) != 0) return;
    for (auto& r : records)
      if (r.Associated) {
        bss = std::move(r);
        break;
      }
    if (!bss) return;
    NetlinkReply* reply = nullptr;
    std::unique_ptr<NetlinkReply> holder;
    auto bssid = bss->Item.Entry.dot11Bssid;
    int rc = control_->Request(NL80211_CMD_GET_STATION, false, [&](nl_msg* m) {
      nla_put_u32(m, NL80211_ATTR_IFINDEX, i.IfIndex);
      nla_put(m, NL80211_ATTR_MAC, 6, bssid.data());
    }, reply, holder);
    if (rc == 0 && !reply->Messages().empty()) station = ParseStation(reply->Messages().front());
  }

  // The PHY index of a connection: HE, VHT or HT by the transmit rate's modulation, else the band's legacy PHY.
  size_t ConnectionPhyIndex(const Interface& i, const BssRecord& bss, const StationInfo* sta) {
    uint32_t type = bss.Item.Entry.dot11BssPhyType;
    if (sta) {
      bool band24 = bss.Item.Entry.ulChCenterFrequency < 2500000;
      type = sta->TxHE ? 10 : sta->TxVHT ? 8 : sta->TxHT ? 7 : band24 ? (sta->TxKbps > 11000 ? 6 : 5) : 4;
    }
    auto it = std::find(i.PhyTypes.begin(), i.PhyTypes.end(), type);
    return it == i.PhyTypes.end() ? 0 : static_cast<size_t>(it - i.PhyTypes.begin());
  }

  // Software and hardware radio state of the interface's wiphy (on when it has no switch).
  std::pair<uint32_t, uint32_t> RadioOf(const Interface& i) {
    int index = RfkillIndexOf(options_.SysfsRoot, i.WiphyName);
    if (index < 0) return {kRadioOn, kRadioOn};
    fs::path dir = fs::path(options_.SysfsRoot) / "class" / "rfkill" / ("rfkill" + std::to_string(index));
    std::string soft = ReadLine(dir / "soft"), hard = ReadLine(dir / "hard");
    return {soft == "1" ? kRadioOff : soft == "0" ? kRadioOn : kRadioUnknown,
            hard == "1" ? kRadioOff : hard == "0" ? kRadioOn : kRadioUnknown};
  }

  bool RadioBlocked(const Interface& i) {
    auto [soft, hard] = RadioOf(i);
    return soft == kRadioOff || hard == kRadioOff;
  }

  // ---- The notification thread ----

  void Wake() {
    uint64_t one = 1;
    if (::write(wake_.Get(), &one, sizeof one) < 0) { /* the counter is already set */ }
  }

  void SendNotice(const std::string& text) {
    std::lock_guard<std::mutex> l(noticeLock_);
    if (!notices_.insert(text).second) return;
    if (options_.Notice) options_.Notice(text);
    else std::cerr << text << "\n";
  }

  void Deliver(const WlanNotification& n) {
    if (!open_) return;
    std::lock_guard<std::mutex> cb(callbackLock_);
    if (!callback_) return;
    try {
      callback_(n);
    } catch (...) {
    }
  }

  // A notification of the automatic configuration module for the interface of IfIndex; nothing for
  // interfaces the caller does not know (not listed yet, or not stations).
  void NotifyInterface(uint32_t ifindex, uint32_t code) {
    std::optional<WLAN_GUID> guid;
    {
      std::lock_guard<std::mutex> q(queueLock_);
      for (const auto& r : routes_)
        if (r.IfIndex == ifindex) guid = r.Guid;
    }
    if (guid) Deliver({kNotificationSourceACM, code, *guid, {}});
  }

  void TriggerScan(uint32_t ifindex) {
    NetlinkReply* reply = nullptr;
    std::unique_ptr<NetlinkReply> holder;
    int rc = trigger_->Request(NL80211_CMD_TRIGGER_SCAN, false, [&](nl_msg* m) {
      nla_put_u32(m, NL80211_ATTR_IFINDEX, ifindex);
      nlattr* ssids = nla_nest_start(m, NL80211_ATTR_SCAN_SSIDS);
      nla_put(m, 1, 0, "");  // the wildcard SSID: an active scan
      nla_nest_end(m, ssids);
    }, reply, holder);
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
                 why + "). Showing the results of scans other programs start. To let the program scan itself, "
                 "give it CAP_NET_ADMIN, e.g. sudo setcap cap_net_admin+ep /path/to/the/program");
      NotifyInterface(ifindex, kAcmScanComplete);  // what the kernel holds now is the best there is
      return;
    }
    NotifyInterface(ifindex, kAcmScanFail);
  }

  void OnRfkill() {
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

  void Run() {
    for (;;) {
      pollfd fds[3] = {{wake_.Get(), POLLIN, 0}, {events_->FileDescriptor(), POLLIN, 0}, {rfkill_.Get(), POLLIN, 0}};
      int n = ::poll(fds, rfkill_ ? 3 : 2, -1);
      if (n < 0 && errno != EINTR) break;
      if (fds[0].revents) {
        uint64_t count;
        if (::read(wake_.Get(), &count, sizeof count) < 0) { /* nothing pending */ }
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

  void Shutdown() {
    if (!worker_.joinable()) return;
    {
      std::lock_guard<std::mutex> q(queueLock_);
      stop_ = true;
    }
    Wake();
    worker_.join();
  }

  LinuxServiceOptions options_;
  std::mutex lock_;  // the caller's operations; guards interfaces_ and control_
  std::atomic<bool> open_ = false;
  std::unique_ptr<Nl80211Socket> control_;
  std::vector<Interface> interfaces_;

  std::mutex queueLock_;  // guards scanQueue_, routes_ and stop_
  std::deque<uint32_t> scanQueue_;
  std::vector<Route> routes_;
  std::set<uint32_t> refused_;  // interfaces whose last scan trigger was refused (under queueLock_)
  bool stop_ = false;

  std::mutex callbackLock_;  // held while a notification is delivered
  WlanNotificationCallback callback_;

  std::mutex noticeLock_;
  std::set<std::string> notices_;

  std::mutex nmLock_;  // taken after lock_ when both are held
  NmClient nm_;

  // Used by the notification thread only.
  NmClient scanNm_;  // a bus connection of its own: sd-bus connections belong to one thread
  std::unique_ptr<Nl80211Socket> events_;
  std::unique_ptr<Nl80211Socket> trigger_;
  Fd wake_;
  Fd rfkill_;
  std::thread worker_;
};

}  // namespace

std::unique_ptr<WlanService> CreateLinuxService(LinuxServiceOptions options) {
  return std::make_unique<LinuxWlanService>(std::move(options));
}

bool LinuxWifiPresent(const std::string& sysfsRoot) {
  std::error_code ec;
  fs::directory_iterator it(fs::path(sysfsRoot) / "class" / "ieee80211", ec);
  return !ec && it != fs::directory_iterator();
}

std::string DescribeInterface(const std::string& sysfsRoot, const std::string& ifname) {
  fs::path device = fs::path(sysfsRoot) / "class" / "net" / ifname / "device";
  std::error_code ec;
  std::string driver = fs::read_symlink(device / "driver", ec).filename().string();
  if (ec) driver.clear();
  std::string name;
  std::string vendor = StripHex(ReadLine(device / "vendor")), dev = StripHex(ReadLine(device / "device"));
  if (vendor.size() == 4 && dev.size() == 4)
    name = PciName(vendor, dev, StripHex(ReadLine(device / "subsystem_vendor")),
                   StripHex(ReadLine(device / "subsystem_device")));
  if (name.empty()) {
    // A USB adapter: the interface's parent is the USB device with its own texts.
    std::string product = ReadLine(device / ".." / "product");
    std::string maker = ReadLine(device / ".." / "manufacturer");
    if (!product.empty()) name = maker.empty() || product.rfind(maker, 0) == 0 ? product : maker + " " + product;
  }
  if (name.empty()) name = driver;
  if (name.empty()) name = "Wi-Fi adapter";
  return name + " (" + ifname + ")";
}

}  // namespace skimlet::linuxwifi
