// Netlink messages built byte by byte, as the kernel sends them: attributes (padded to 4 bytes), nests, and
// generic netlink messages with their headers, dump ends and errors.
#pragma once

#include <linux/netlink.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace skimlet::test::netlink {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, static_cast<uint16_t>(v));
  Put16(b, static_cast<uint16_t>(v >> 16));
}

// One attribute, padded to 4 bytes.
inline Bytes Attr(uint16_t type, const Bytes& payload) {
  Bytes b;
  Put16(b, static_cast<uint16_t>(4 + payload.size()));
  Put16(b, type);
  b.insert(b.end(), payload.begin(), payload.end());
  while (b.size() % 4) b.push_back(0);
  return b;
}
inline Bytes U8(uint16_t t, uint8_t v) { return Attr(t, {v}); }
inline Bytes U16(uint16_t t, uint16_t v) {
  Bytes p;
  Put16(p, v);
  return Attr(t, p);
}
inline Bytes U32(uint16_t t, uint32_t v) {
  Bytes p;
  Put32(p, v);
  return Attr(t, p);
}
inline Bytes U64(uint16_t t, uint64_t v) {
  Bytes p;
  Put32(p, static_cast<uint32_t>(v));
  Put32(p, static_cast<uint32_t>(v >> 32));
  return Attr(t, p);
}
inline Bytes Str(uint16_t t, const std::string& s) {
  Bytes p(s.begin(), s.end());
  p.push_back(0);
  return Attr(t, p);
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const auto& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}
inline Bytes Nest(uint16_t t, std::initializer_list<Bytes> parts) { return Attr(t | NLA_F_NESTED, Cat(parts)); }

constexpr uint16_t kFamily = 28;
constexpr uint32_t kSeq = 77;

// A generic netlink message of command Cmd carrying Attrs.
inline Bytes Message(uint8_t cmd, const Bytes& attrs, uint16_t flags = NLM_F_MULTI, uint32_t seq = kSeq,
                     uint16_t type = kFamily) {
  Bytes b;
  Put32(b, static_cast<uint32_t>(16 + 4 + attrs.size()));
  Put16(b, type);
  Put16(b, flags);
  Put32(b, seq);
  Put32(b, 4242);
  b.push_back(cmd);
  b.push_back(1);
  Put16(b, 0);
  b.insert(b.end(), attrs.begin(), attrs.end());
  return b;
}
inline Bytes Done(uint32_t seq = kSeq, uint16_t flags = NLM_F_MULTI) {
  Bytes b;
  Put32(b, 20);
  Put16(b, NLMSG_DONE);
  Put16(b, flags);
  Put32(b, seq);
  Put32(b, 4242);
  Put32(b, 0);
  return b;
}
inline Bytes ErrorMsg(int32_t code, uint32_t seq = kSeq) {
  Bytes b;
  Put32(b, 36);
  Put16(b, NLMSG_ERROR);
  Put16(b, 0);
  Put32(b, seq);
  Put32(b, 4242);
  Put32(b, static_cast<uint32_t>(code));
  b.resize(36, 0);  // the request's header
  return b;
}

}  // namespace skimlet::test::netlink
