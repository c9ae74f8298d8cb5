// Building element blobs: the encoder side of the decoders, for scenes, tests and benchmarks.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "core/ie/util.h"

namespace skimlet {

class ElementBuilder {
 public:
  // One element: ID, length byte, body. Bodies over 255 bytes are cut to 255.
  ElementBuilder& Add(uint8_t id, Bytes body);
  ElementBuilder& Add(uint8_t id, std::initializer_list<uint8_t> body) {
    return Add(id, Bytes(body.begin(), body.size()));
  }
  ElementBuilder& AddText(uint8_t id, std::string_view text);
  // ID 221: OUI (three bytes, most significant first), subtype, then Body.
  ElementBuilder& AddVendor(uint32_t oui, uint8_t subtype, Bytes body);
  ElementBuilder& AddVendor(uint32_t oui, uint8_t subtype, std::initializer_list<uint8_t> body) {
    return AddVendor(oui, subtype, Bytes(body.begin(), body.size()));
  }
  // ID 255: extension ID, then Body.
  ElementBuilder& AddExtension(uint8_t extensionID, Bytes body);
  ElementBuilder& AddExtension(uint8_t extensionID, std::initializer_list<uint8_t> body) {
    return AddExtension(extensionID, Bytes(body.begin(), body.size()));
  }
  // Raw bytes, for malformed blobs.
  ElementBuilder& Raw(std::initializer_list<uint8_t> bytes);

  const std::vector<uint8_t>& Blob() const { return blob_; }

 private:
  std::vector<uint8_t> blob_;
};

// Little-endian and big-endian pieces of element bodies.
void PutUInt16LE(std::vector<uint8_t>& out, uint16_t v);
void PutUInt32LE(std::vector<uint8_t>& out, uint32_t v);
void PutUInt16BE(std::vector<uint8_t>& out, uint16_t v);

}  // namespace skimlet
