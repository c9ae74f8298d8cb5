// The one walk over an element blob: ID byte, length byte, body, again until the blob ends.
//
// Everything that cuts a blob into elements (the element container, the beacon reader, the command line)
// walks it here, so they agree on where elements lie and on what is left over at the end: a lone byte, or an
// element whose announced body runs past the blob. The walk ends at the first such tail; nothing after it is
// read. Zero-length elements are visited like any other (an SSID element of length 0 means a hidden SSID).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace skimlet {

// What lies after the last whole element of a blob.
struct TElementTail {
  size_t Offset = 0;      // position of the first byte no element covers; the blob's size when none is left
  size_t Length = 0;      // bytes left over: 0 (the blob ends with a whole element), 1 (a lone byte) or more
  uint8_t ID = 0;         // with Length 1: the lone byte; with more: the cut element's ID
  uint8_t Announced = 0;  // with Length 2 or more: the body length the cut element announces

  bool Cut() const { return Length > 0; }
  // Body bytes of the cut element that are present (Length 2 or more).
  size_t Present() const { return Length >= 2 ? Length - 2 : 0; }
};

// Calls Visit(id, body, offset) for every whole element of Blob in blob order, Offset being the position of
// its ID byte, and returns what is left after the last one.
template <class Visit>
inline TElementTail WalkElements(std::span<const uint8_t> blob, Visit&& visit) {
  const uint8_t* b = blob.data();
  const size_t n = blob.size();
  size_t p = 0;
  while (n - p >= 2) {
    const uint8_t id = b[p], len = b[p + 1];
    if (len > n - p - 2) return {p, n - p, id, len};
    visit(id, blob.subspan(p + 2, len), p);
    p += 2 + size_t{len};
  }
  if (p < n) return {p, 1, b[p], 0};
  return {n, 0, 0, 0};
}

// The tail of Blob alone.
inline TElementTail ElementTail(std::span<const uint8_t> blob) {
  return WalkElements(blob, [](uint8_t, std::span<const uint8_t>, size_t) {});
}

}  // namespace skimlet
