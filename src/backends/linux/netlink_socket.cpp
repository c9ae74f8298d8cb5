#include "backends/linux/netlink_socket.h"

#include <fcntl.h>
#include <linux/netlink.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "backends/linux/nl80211_parse.h"

namespace skimlet::linuxwifi {

void Fd::Reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

// ---- Request attributes -----------------------------------------------------------------------------------

NlAttributes& NlAttributes::Bytes(uint16_t type, std::span<const uint8_t> payload) {
  const size_t length = NLA_HDRLEN + payload.size();
  data_.push_back(static_cast<uint8_t>(length));
  data_.push_back(static_cast<uint8_t>(length >> 8));
  data_.push_back(static_cast<uint8_t>(type));
  data_.push_back(static_cast<uint8_t>(type >> 8));
  data_.insert(data_.end(), payload.begin(), payload.end());
  data_.resize(NLA_ALIGN(data_.size()), 0);
  return *this;
}

NlAttributes& NlAttributes::U32(uint16_t type, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return Bytes(type, bytes);
}

NlAttributes& NlAttributes::Nested(uint16_t type, const NlAttributes& inner) {
  return Bytes(static_cast<uint16_t>(type | NLA_F_NESTED), inner.Data());
}

int DumpNl80211(Nl80211Socket& socket, uint8_t command, const NlAttributes& attributes,
                std::vector<std::vector<uint8_t>>& messages) {
  constexpr int kDumpAttempts = 4;
  Nl80211Request request{command, true, attributes};
  for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
    Nl80211Reply reply;
    if (int rc = socket.Request(request, reply); rc != 0) return rc;
    messages = std::move(reply.Messages);
    if (!reply.Interrupted) break;
  }
  return 0;
}

namespace {

struct NlMsgFree {
  void operator()(nl_msg* m) const { nlmsg_free(m); }
};
using NlMsg = std::unique_ptr<nl_msg, NlMsgFree>;

struct NlSockFree {
  void operator()(nl_sock* s) const { nl_socket_free(s); }
};

constexpr int kReplyTimeoutMs = 5000;

// Requests are sent with libnl; replies are read as datagrams and assembled by NetlinkReply, so that the
// parsing is the same code the tests feed built messages to.
class KernelNl80211Socket : public Nl80211Socket {
 public:
  KernelNl80211Socket(std::unique_ptr<nl_sock, NlSockFree> sock, int family)
      : sock_(std::move(sock)), family_(family) {}

  int Request(const Nl80211Request& request, Nl80211Reply& reply) override {
    NlMsg msg(nlmsg_alloc());
    if (!msg) return ENOMEM;
    if (!genlmsg_put(msg.get(), NL_AUTO_PORT, NL_AUTO_SEQ, family_, 0, request.Dump ? NLM_F_DUMP : 0, request.Command,
                     0))
      return ENOMEM;
    const auto& attributes = request.Attributes.Data();
    if (!attributes.empty() &&
        nlmsg_append(msg.get(), const_cast<uint8_t*>(attributes.data()), attributes.size(), NLA_ALIGNTO) < 0)
      return ENOMEM;
    if (int rc = nl_send_auto(sock_.get(), msg.get()); rc < 0) return EIO;
    NetlinkReply assembled(nlmsg_hdr(msg.get())->nlmsg_seq, request.Dump);
    if (int rc = Receive(assembled); rc != 0) return rc;
    if (assembled.GetState() == NetlinkReply::State::Failed) return assembled.Error();
    if (assembled.GetState() == NetlinkReply::State::Malformed) return EIO;
    reply.Messages = assembled.Messages();
    reply.Interrupted = assembled.Interrupted();
    return 0;
  }

  bool Listen(const char* name) override {
    int group = genl_ctrl_resolve_grp(sock_.get(), "nl80211", name);
    if (group < 0 || nl_socket_add_membership(sock_.get(), group) < 0) return false;
    nl_socket_disable_seq_check(sock_.get());
    return nl_socket_set_nonblocking(sock_.get()) == 0;
  }

  int FileDescriptor() const override { return nl_socket_get_fd(sock_.get()); }

  void Drain(const std::function<void(std::span<const uint8_t>, bool)>& f) override {
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
  // Feeds datagrams to Reply until it is no longer pending. 0, or the errno that ended the wait.
  int Receive(NetlinkReply& reply) {
    int fd = FileDescriptor();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    while (reply.GetState() == NetlinkReply::State::Pending) {
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
      reply.Feed(std::span<const uint8_t>(buffer_.data(), static_cast<size_t>(got)));
    }
    return 0;
  }

  std::unique_ptr<nl_sock, NlSockFree> sock_;
  int family_ = 0;
  std::vector<uint8_t> buffer_;
};

class SystemDevices : public KernelDevices {
 public:
  std::unique_ptr<Nl80211Socket> OpenNl80211(std::string& error) override {
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
    return std::make_unique<KernelNl80211Socket>(std::move(sock), family);
  }

  Fd OpenRfkill(int flags) override { return Fd(::open("/dev/rfkill", flags)); }
};

}  // namespace

std::shared_ptr<KernelDevices> SystemKernelDevices() { return std::make_shared<SystemDevices>(); }

}  // namespace skimlet::linuxwifi
