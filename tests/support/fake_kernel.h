// A fake kernel for the Linux service: one station interface ("wlan0", ifindex 3) on one wiphy ("phy0": 2.4 and
// 5 GHz, HT and VHT) that hears the test's BSSs, a sysfs tree in a temporary folder, and the service's nl80211
// sockets and rfkill device answered from that state with netlink messages built by netlink_message.h.
//
// - Dumps and single requests answer from the state; FailCommand makes a command fail with an errno.
// - A triggered scan ends at once: the listening sockets get the kernel's "new scan results" event.
// - Associate/Connect/Disconnect change what the kernel reports and send the "mlme" group's events.
// - Writes to /dev/rfkill are taken by ApplyRfkillWrites, which updates sysfs and sends the rfkill event.
#pragma once

#include <fcntl.h>
#include <linux/nl80211.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "backends/linux/netlink_socket.h"
#include "support/netlink_message.h"

namespace skimlet::test {

// One access point the fake kernel's scans find.
struct FakeBss {
  std::array<uint8_t, 6> Bssid{};
  std::string Ssid;
  uint32_t FrequencyMHz = 2437;
  int32_t SignalDbm = -60;
  bool Privacy = false;
};

class FakeKernel : public linuxwifi::KernelDevices, public std::enable_shared_from_this<FakeKernel> {
 public:
  static constexpr uint32_t kIfIndex = 3;
  static constexpr const char* kIfName = "wlan0";
  static constexpr std::array<uint8_t, 6> kMac = {0x02, 0x00, 0x00, 0x00, 0x0d, 0x00};
  // The wiphy's PHY types as the service numbers them (2.4 GHz: HR/DSSS, ERP; 5 GHz: OFDM; HT; VHT).
  static constexpr size_t kPhyCount = 5;

  FakeKernel() {
    root_ = std::filesystem::temp_directory_path() /
            ("skimlet-fake-kernel-" + std::to_string(::getpid()) + "-" + std::to_string(Instance()++));
    std::filesystem::remove_all(root_);
    WriteFile("class/net/wlan0/flags", "0x1003");
    for (const char* counter : {"rx_packets", "tx_packets", "multicast", "rx_crc_errors", "rx_dropped", "tx_errors"})
      WriteFile(std::string("class/net/wlan0/statistics/") + counter, "0");
    WriteFile("class/net/wlan0/statistics/multicast", "17");
    WriteFile("class/ieee80211/phy0/macaddress", "02:00:00:00:0d:00");
    std::filesystem::create_directories(root_ / "class/ieee80211/phy0/rfkill0");
    WriteFile("class/rfkill/rfkill0/soft", "0");
    WriteFile("class/rfkill/rfkill0/hard", "0");
  }
  ~FakeKernel() override { std::filesystem::remove_all(root_); }

  std::string SysfsRoot() const { return root_.string(); }
  void WriteFile(const std::string& relative, const std::string& text) {
    std::filesystem::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative) << text << "\n";
  }

  // ---- The state -------------------------------------------------------------------------------------------

  void SetBss(std::vector<FakeBss> bss) {
    std::lock_guard<std::mutex> l(lock_);
    bss_ = std::move(bss);
  }
  // The BSS the interface is associated with (an index into the BSSs), or none.
  void Associate(std::optional<size_t> index) {
    std::lock_guard<std::mutex> l(lock_);
    associated_ = index;
  }
  // Associates and sends the connect event whoever made the connection would cause.
  void Connect(size_t index) {
    Associate(index);
    std::array<uint8_t, 6> bssid;
    {
      std::lock_guard<std::mutex> l(lock_);
      bssid = bss_.at(index).Bssid;
    }
    using namespace netlink;
    PushEvent(
        Message(NL80211_CMD_CONNECT,
                Cat({U32(NL80211_ATTR_IFINDEX, kIfIndex), Attr(NL80211_ATTR_MAC, Bytes(bssid.begin(), bssid.end())),
                     U16(NL80211_ATTR_STATUS_CODE, 0)}),
                0));
  }
  void Disconnect() {
    Associate(std::nullopt);
    using namespace netlink;
    PushEvent(Message(NL80211_CMD_DISCONNECT,
                      Cat({U32(NL80211_ATTR_IFINDEX, kIfIndex), U16(NL80211_ATTR_REASON_CODE, 3)}), 0));
  }
  // The survey dump's entries: the contents of each NL80211_ATTR_SURVEY_INFO nest.
  void SetSurvey(std::vector<netlink::Bytes> entries) {
    std::lock_guard<std::mutex> l(lock_);
    survey_ = std::move(entries);
  }
  // Makes every later request of Command fail with Errno (0: answer again).
  void FailCommand(uint8_t command, int error) {
    std::lock_guard<std::mutex> l(lock_);
    failures_[command] = error;
  }
  // Hands Datagram to every listening socket.
  void PushEvent(const netlink::Bytes& datagram) {
    std::lock_guard<std::mutex> l(lock_);
    for (auto* s : listeners_) s->Push(datagram);
  }

  // The requests the sockets received: command and attribute bytes.
  struct Logged {
    uint8_t Command = 0;
    bool Dump = false;
    std::vector<uint8_t> Attributes;
  };
  std::vector<Logged> Requests() {
    std::lock_guard<std::mutex> l(lock_);
    return log_;
  }
  size_t CountRequests(uint8_t command) {
    size_t n = 0;
    for (const auto& r : Requests()) n += r.Command == command;
    return n;
  }

  // Takes the soft-block requests written to /dev/rfkill: sysfs shows the new state and the rfkill event goes
  // to the readers. The number of requests taken.
  size_t ApplyRfkillWrites() {
    size_t taken = 0;
    std::lock_guard<std::mutex> l(lock_);
    for (auto& peer : rfkillWriters_) {
      uint8_t request[8];
      while (::recv(peer.Get(), request, sizeof request, MSG_DONTWAIT) == 8) {
        ++taken;
        const bool soft = request[6] != 0;
        std::ofstream(root_ / "class/rfkill/rfkill0/soft") << (soft ? "1" : "0") << "\n";
        const uint8_t event[8] = {
            request[0], request[1], request[2], request[3], 1 /* WLAN */, 2 /* change */, static_cast<uint8_t>(soft),
            0};
        for (auto& reader : rfkillReaders_) (void)::send(reader.Get(), event, sizeof event, MSG_DONTWAIT);
      }
    }
    return taken;
  }
  // Makes /dev/rfkill impossible to open for writing (an unprivileged program).
  void DenyRfkillWrites() { denyRfkillWrites_ = true; }

  // ---- KernelDevices -----------------------------------------------------------------------------------------

  std::unique_ptr<linuxwifi::Nl80211Socket> OpenNl80211(std::string&) override {
    return std::make_unique<Socket>(shared_from_this());
  }

  linuxwifi::Fd OpenRfkill(int flags) override {
    const bool write = (flags & O_ACCMODE) != O_RDONLY;
    if (write && denyRfkillWrites_) {
      errno = EACCES;
      return linuxwifi::Fd();
    }
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return linuxwifi::Fd();
    if (flags & O_NONBLOCK) ::fcntl(pair[0], F_SETFL, O_NONBLOCK);
    std::lock_guard<std::mutex> l(lock_);
    (write ? rfkillWriters_ : rfkillReaders_).emplace_back(pair[1]);
    return linuxwifi::Fd(pair[0]);
  }

 private:
  class Socket : public linuxwifi::Nl80211Socket {
   public:
    explicit Socket(std::shared_ptr<FakeKernel> kernel)
        : kernel_(std::move(kernel)), event_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Socket() override {
      std::lock_guard<std::mutex> l(kernel_->lock_);
      std::erase(kernel_->listeners_, this);
    }
    int Request(const linuxwifi::Nl80211Request& request, linuxwifi::Nl80211Reply& reply) override {
      return kernel_->Answer(request, reply);
    }
    bool Listen(const char*) override {
      std::lock_guard<std::mutex> l(kernel_->lock_);
      if (std::find(kernel_->listeners_.begin(), kernel_->listeners_.end(), this) == kernel_->listeners_.end())
        kernel_->listeners_.push_back(this);
      return true;
    }
    int FileDescriptor() const override { return event_.Get(); }
    void Drain(const std::function<void(std::span<const uint8_t>, bool)>& f) override {
      uint64_t count;
      if (::read(event_.Get(), &count, sizeof count) < 0) { /* nothing was signalled */
      }
      std::deque<netlink::Bytes> pending;
      {
        std::lock_guard<std::mutex> l(queueLock_);
        pending.swap(queue_);
      }
      for (const auto& d : pending) f(d, false);
    }
    // Under the kernel's lock.
    void Push(const netlink::Bytes& datagram) {
      {
        std::lock_guard<std::mutex> l(queueLock_);
        queue_.push_back(datagram);
      }
      uint64_t one = 1;
      if (::write(event_.Get(), &one, sizeof one) < 0) { /* the counter is already set */
      }
    }

   private:
    std::shared_ptr<FakeKernel> kernel_;
    linuxwifi::Fd event_;
    std::mutex queueLock_;
    std::deque<netlink::Bytes> queue_;
  };

  static int& Instance() {
    static int n = 0;
    return n;
  }

  int Answer(const linuxwifi::Nl80211Request& request, linuxwifi::Nl80211Reply& reply) {
    using namespace netlink;
    std::lock_guard<std::mutex> l(lock_);
    log_.push_back({request.Command, request.Dump, request.Attributes.Data()});
    if (auto f = failures_.find(request.Command); f != failures_.end() && f->second != 0) return f->second;
    switch (request.Command) {
      case NL80211_CMD_GET_INTERFACE: reply.Messages.push_back(InterfaceMessage()); return 0;
      case NL80211_CMD_GET_WIPHY: reply.Messages.push_back(WiphyMessage()); return 0;
      case NL80211_CMD_GET_SCAN:
        for (size_t k = 0; k < bss_.size(); ++k) reply.Messages.push_back(BssMessage(k));
        return 0;
      case NL80211_CMD_GET_STATION:
        if (!associated_) return ENOENT;
        reply.Messages.push_back(StationMessage());
        return 0;
      case NL80211_CMD_GET_SURVEY:
        for (const auto& info : survey_)
          reply.Messages.push_back(
              Message(NL80211_CMD_NEW_SURVEY_RESULTS,
                      Cat({U32(NL80211_ATTR_IFINDEX, kIfIndex), Attr(NL80211_ATTR_SURVEY_INFO | NLA_F_NESTED, info)})));
        return 0;
      case NL80211_CMD_TRIGGER_SCAN:
        // The scan ends at once (the results stay those of the state).
        for (auto* s : listeners_)
          s->Push(Message(NL80211_CMD_NEW_SCAN_RESULTS, U32(NL80211_ATTR_IFINDEX, kIfIndex), 0));
        return 0;
      default: return EOPNOTSUPP;
    }
  }

  // Under lock_.
  netlink::Bytes InterfaceMessage() const {
    using namespace netlink;
    Bytes attrs = Cat({U32(NL80211_ATTR_IFINDEX, kIfIndex), Str(NL80211_ATTR_IFNAME, kIfName),
                       U32(NL80211_ATTR_WIPHY, 0), U32(NL80211_ATTR_IFTYPE, NL80211_IFTYPE_STATION),
                       Attr(NL80211_ATTR_MAC, Bytes(kMac.begin(), kMac.end()))});
    if (associated_) {
      const FakeBss& b = bss_.at(*associated_);
      attrs = Cat({attrs, U32(NL80211_ATTR_WIPHY_FREQ, b.FrequencyMHz),
                   Attr(NL80211_ATTR_SSID, Bytes(b.Ssid.begin(), b.Ssid.end()))});
    }
    return Message(NL80211_CMD_NEW_INTERFACE, attrs);
  }

  static netlink::Bytes WiphyMessage() {
    using namespace netlink;
    return Message(
        NL80211_CMD_NEW_WIPHY,
        Cat({U32(NL80211_ATTR_WIPHY, 0), Str(NL80211_ATTR_WIPHY_NAME, "phy0"),
             Nest(NL80211_ATTR_WIPHY_BANDS, {Nest(NL80211_BAND_2GHZ, {U16(NL80211_BAND_ATTR_HT_CAPA, 0x1FF)}),
                                             Nest(NL80211_BAND_5GHZ, {U16(NL80211_BAND_ATTR_HT_CAPA, 0x1FF),
                                                                      U32(NL80211_BAND_ATTR_VHT_CAPA, 0)})})}));
  }

  netlink::Bytes BssMessage(size_t k) const {
    using namespace netlink;
    const FakeBss& b = bss_[k];
    Bytes elements = {0x00, static_cast<uint8_t>(b.Ssid.size())};
    elements.insert(elements.end(), b.Ssid.begin(), b.Ssid.end());
    elements.insert(elements.end(), {0x01, 0x08, 0x8C, 0x12, 0x98, 0x24, 0xB0, 0x48, 0x60, 0x6C});  // rates
    if (b.FrequencyMHz < 2500)
      elements.insert(elements.end(), {0x03, 0x01, static_cast<uint8_t>((b.FrequencyMHz - 2407) / 5)});
    const uint16_t capability = static_cast<uint16_t>(0x0001 | (b.Privacy ? 0x0010 : 0));
    Bytes bss =
        Cat({Attr(NL80211_BSS_BSSID, Bytes(b.Bssid.begin(), b.Bssid.end())), U32(NL80211_BSS_FREQUENCY, b.FrequencyMHz),
             U64(NL80211_BSS_TSF, 1000000 + k), U16(NL80211_BSS_BEACON_INTERVAL, 100),
             U16(NL80211_BSS_CAPABILITY, capability), Attr(NL80211_BSS_INFORMATION_ELEMENTS, elements),
             U32(NL80211_BSS_SIGNAL_MBM, static_cast<uint32_t>(b.SignalDbm * 100)), U32(NL80211_BSS_SEEN_MS_AGO, 100)});
    if (associated_ == k) bss = Cat({bss, U32(NL80211_BSS_STATUS, NL80211_BSS_STATUS_ASSOCIATED)});
    return Message(NL80211_CMD_NEW_SCAN_RESULTS,
                   Cat({U32(NL80211_ATTR_IFINDEX, kIfIndex), Attr(NL80211_ATTR_BSS, bss)}));
  }

  netlink::Bytes StationMessage() const {
    using namespace netlink;
    const FakeBss& b = bss_.at(*associated_);
    return Message(NL80211_CMD_NEW_STATION,
                   Cat({Attr(NL80211_ATTR_MAC, Bytes(b.Bssid.begin(), b.Bssid.end())),
                        Nest(NL80211_ATTR_STA_INFO,
                             {U8(NL80211_STA_INFO_SIGNAL, static_cast<uint8_t>(b.SignalDbm)),
                              Nest(NL80211_STA_INFO_TX_BITRATE,
                                   {U16(NL80211_RATE_INFO_BITRATE, 650), U8(NL80211_RATE_INFO_MCS, 7)}),
                              Nest(NL80211_STA_INFO_RX_BITRATE, {U16(NL80211_RATE_INFO_BITRATE, 540)}),
                              U32(NL80211_STA_INFO_TX_PACKETS, 120), U32(NL80211_STA_INFO_RX_PACKETS, 240)})}),
                   0);
  }

  std::filesystem::path root_;
  std::mutex lock_;
  std::vector<FakeBss> bss_;
  std::optional<size_t> associated_;
  std::vector<netlink::Bytes> survey_;
  std::map<uint8_t, int> failures_;
  std::vector<Logged> log_;
  std::vector<Socket*> listeners_;
  std::vector<linuxwifi::Fd> rfkillWriters_, rfkillReaders_;  // the kernel's ends
  std::atomic<bool> denyRfkillWrites_ = false;
};

}  // namespace skimlet::test
