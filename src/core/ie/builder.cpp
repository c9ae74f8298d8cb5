#include "core/ie/builder.h"

#include <algorithm>

namespace skimlet {

ElementBuilder& ElementBuilder::Add(uint8_t id, Bytes body) {
  size_t n = std::min<size_t>(body.size(), 255);
  blob_.push_back(id);
  blob_.push_back(static_cast<uint8_t>(n));
  blob_.insert(blob_.end(), body.begin(), body.begin() + static_cast<std::ptrdiff_t>(n));
  return *this;
}

ElementBuilder& ElementBuilder::AddText(uint8_t id, std::string_view text) {
  return Add(id, Bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

ElementBuilder& ElementBuilder::AddVendor(uint32_t oui, uint8_t subtype, Bytes body) {
  std::vector<uint8_t> b = {static_cast<uint8_t>(oui >> 16), static_cast<uint8_t>(oui >> 8), static_cast<uint8_t>(oui),
                            subtype};
  b.insert(b.end(), body.begin(), body.end());
  return Add(221, b);
}

ElementBuilder& ElementBuilder::AddExtension(uint8_t extensionID, Bytes body) {
  std::vector<uint8_t> b = {extensionID};
  b.insert(b.end(), body.begin(), body.end());
  return Add(255, b);
}

ElementBuilder& ElementBuilder::Raw(std::initializer_list<uint8_t> bytes) {
  blob_.insert(blob_.end(), bytes.begin(), bytes.end());
  return *this;
}

void PutUInt16LE(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutUInt32LE(std::vector<uint8_t>& out, uint32_t v) {
  PutUInt16LE(out, static_cast<uint16_t>(v));
  PutUInt16LE(out, static_cast<uint16_t>(v >> 16));
}
void PutUInt16BE(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

}  // namespace skimlet
