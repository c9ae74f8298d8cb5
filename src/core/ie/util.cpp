#include "core/ie/util.h"

#include "core/base/translate.h"

namespace skimlet {

Bytes Slice(Bytes data, size_t pos, size_t count) {
  if (pos > data.size() || count > data.size() - pos) throw TElementCorrupted();
  return data.subspan(pos, count);
}

Bytes Tail(Bytes data, size_t pos) {
  if (pos > data.size()) throw TElementCorrupted();
  return data.subspan(pos);
}

namespace {
uint64_t ReadLE(Bytes data, size_t pos, size_t n) {
  Bytes b = Slice(data, pos, n);
  uint64_t v = 0;
  for (size_t k = n; k-- > 0;) v = (v << 8) | b[k];
  return v;
}
uint64_t ReadBE(Bytes data, size_t pos, size_t n) {
  Bytes b = Slice(data, pos, n);
  uint64_t v = 0;
  for (size_t k = 0; k < n; ++k) v = (v << 8) | b[k];
  return v;
}
}  // namespace

uint8_t ReadUInt8(Bytes data, size_t pos) { return static_cast<uint8_t>(ReadLE(data, pos, 1)); }
uint16_t ReadUInt16LE(Bytes data, size_t pos) { return static_cast<uint16_t>(ReadLE(data, pos, 2)); }
uint16_t ReadUInt16BE(Bytes data, size_t pos) { return static_cast<uint16_t>(ReadBE(data, pos, 2)); }
uint32_t ReadUInt24LE(Bytes data, size_t pos) { return static_cast<uint32_t>(ReadLE(data, pos, 3)); }
uint32_t ReadUInt24BE(Bytes data, size_t pos) { return static_cast<uint32_t>(ReadBE(data, pos, 3)); }
uint32_t ReadUInt32LE(Bytes data, size_t pos) { return static_cast<uint32_t>(ReadLE(data, pos, 4)); }
uint32_t ReadUInt32BE(Bytes data, size_t pos) { return static_cast<uint32_t>(ReadBE(data, pos, 4)); }
uint64_t ReadUInt48LE(Bytes data, size_t pos) { return ReadLE(data, pos, 6); }

std::string_view KeyToValue(TKeyAndValueTable table, int64_t key, std::string_view fallback) {
  for (const TKeyAndValue& row : table)
    if (row.Key == key) return row.Value;
  return fallback;
}

std::string_view IndexToText(int64_t index, std::span<const std::string_view> texts, std::string_view fallback) {
  if (index >= 0 && static_cast<uint64_t>(index) < texts.size()) return texts[static_cast<size_t>(index)];
  return fallback;
}

std::string_view BoolToText(bool value, std::string_view falseText, std::string_view trueText) {
  return value ? trueText : falseText;
}
std::string_view EnabledToText(bool value) { return BoolToText(value, "Disabled", "Enabled"); }
std::string_view SupportedToText(bool value) { return BoolToText(value, "Not Supported", "Supported"); }
std::string_view DefinedToText(bool value) { return BoolToText(value, "Not Defined", "Defined"); }
std::string_view RequiredToText(bool value) { return BoolToText(value, "Not required", "Required"); }
std::string_view CapableToText(bool value) { return BoolToText(value, "Not capable", "Capable"); }
std::string YesNoToText(bool value) { return value ? Translate("sYes", "Yes") : Translate("sNo", "No"); }

namespace {
// Bit Bit of Data; throws when Data is too short.
bool BitAt(Bytes data, unsigned bit) {
  if (bit / 8 >= data.size()) throw TElementCorrupted();
  return (data[bit / 8] >> (bit % 8)) & 1u;
}

template <class CharOf>
std::string Diagram(unsigned count, unsigned groupSize, bool reverse, CharOf charOf) {
  std::string s;
  s.reserve(count + (groupSize ? count / groupSize : 0));
  for (unsigned i = 0; i < count; ++i) {
    s += charOf(i);
    if (groupSize > 0 && (i + 1) % groupSize == 0 && i + 1 < count) s += ' ';
  }
  if (reverse) s.assign(s.rbegin(), s.rend());
  return s;
}
}  // namespace

uint32_t GetBits(Bytes data, unsigned firstBit, unsigned count) {
  if (count > 32) count = 32;
  uint32_t v = 0;
  for (unsigned k = 0; k < count; ++k)
    if (BitAt(data, firstBit + k)) v |= uint32_t{1} << k;
  return v;
}

TBoolArray BytesToBoolArray(Bytes data, unsigned count) {
  TBoolArray bits(count);
  for (unsigned i = 0; i < count; ++i) bits[i] = BitAt(data, i);
  return bits;
}

std::string BitsToText(Bytes data, unsigned count, unsigned groupSize, bool reverse) {
  return Diagram(count, groupSize, reverse, [&](unsigned i) { return BitAt(data, i) ? '1' : '0'; });
}

std::string BitFieldToText(Bytes data, unsigned count, unsigned groupSize, bool reverse, unsigned fieldLength,
                           unsigned fieldStart) {
  return Diagram(count, groupSize, reverse, [&](unsigned i) {
    if (i < fieldStart || i - fieldStart >= fieldLength) return '.';
    return BitAt(data, i) ? '1' : '0';
  });
}

std::string BitRangeToText(unsigned count, unsigned groupSize, bool reverse, unsigned rangeLength,
                           unsigned rangeStart) {
  return Diagram(count, groupSize, reverse,
                 [&](unsigned i) { return (i >= rangeStart && i - rangeStart < rangeLength) ? 'x' : '.'; });
}

std::string MaskedBitsToText(Bytes data, unsigned count, unsigned groupSize, bool reverse, uint32_t mask) {
  return Diagram(count, groupSize, reverse, [&](unsigned i) {
    if (i >= 32 || !((mask >> i) & 1u)) return '.';
    return BitAt(data, i) ? '1' : '0';
  });
}

}  // namespace skimlet
