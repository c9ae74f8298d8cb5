// The kernel devices the Linux service talks to: generic netlink sockets speaking nl80211 and /dev/rfkill.
// The service reaches them only through KernelDevices, so tests run it over fakes that answer with built
// netlink messages.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace skimlet::linuxwifi {

// An owned file descriptor.
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
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(); }
  void Reset();
  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Netlink attributes of a request, as the bytes that follow the generic netlink header (each attribute padded
// to 4 bytes).
class NlAttributes {
 public:
  NlAttributes& U32(uint16_t type, uint32_t value);
  NlAttributes& Bytes(uint16_t type, std::span<const uint8_t> payload);
  NlAttributes& Flag(uint16_t type) { return Bytes(type, {}); }
  NlAttributes& Nested(uint16_t type, const NlAttributes& inner);
  const std::vector<uint8_t>& Data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
};

// One nl80211 command: a dump (NLM_F_DUMP) or a single request acknowledged by the kernel.
struct Nl80211Request {
  uint8_t Command = 0;
  bool Dump = false;
  NlAttributes Attributes;
};

// The data messages answering a request (netlink header included), and whether the kernel flagged the dump as
// interrupted (its list changed while it was dumped).
struct Nl80211Reply {
  std::vector<std::vector<uint8_t>> Messages;
  bool Interrupted = false;
};

// A generic netlink socket bound to nl80211. A socket either makes requests or, after Listen, only receives
// multicast events.
class Nl80211Socket {
 public:
  virtual ~Nl80211Socket() = default;
  // Sends Request and collects its reply. 0, or the positive errno of the failure (EIO for a malformed reply,
  // ETIMEDOUT when none came).
  virtual int Request(const Nl80211Request& request, Nl80211Reply& reply) = 0;
  // Joins the nl80211 multicast group Name; the socket then only listens, without blocking. False when it
  // cannot.
  virtual bool Listen(const char* name) = 0;
  // The descriptor to poll for events.
  virtual int FileDescriptor() const = 0;
  // Reads whatever datagrams are waiting and hands each to F; Overrun is true (with no bytes) when the kernel
  // dropped events because the socket's buffer was full.
  virtual void Drain(const std::function<void(std::span<const uint8_t> datagram, bool overrun)>& f) = 0;
};

// A dump, taken again while the kernel reports it interrupted; the last attempt is used as it stands. 0 or the
// positive errno of the failure.
int DumpNl80211(Nl80211Socket& socket, uint8_t command, const NlAttributes& attributes,
                std::vector<std::vector<uint8_t>>& messages);

// Where the service gets its sockets and its rfkill device.
class KernelDevices {
 public:
  virtual ~KernelDevices() = default;
  // A new nl80211 socket; null and Error when the kernel offers none.
  virtual std::unique_ptr<Nl80211Socket> OpenNl80211(std::string& error) = 0;
  // /dev/rfkill opened with the open(2) Flags; an empty Fd with errno set when it cannot be opened.
  virtual Fd OpenRfkill(int flags) = 0;
};

// The running kernel's devices (libnl-genl-3 sockets, the real /dev/rfkill).
std::shared_ptr<KernelDevices> SystemKernelDevices();

}  // namespace skimlet::linuxwifi
