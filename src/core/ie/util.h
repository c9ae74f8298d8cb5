// Routines every element decoder shares: bounds-checked byte readers, hex and OUI text, name tables,
// word pairs and bit diagrams.
//
// Every read of element bytes goes through these and is checked against the span it reads from. A read
// past the end throws TElementCorrupted, which the element's tree code turns into the "element is
// corrupted" line, so a malformed body can never be read out of bounds.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/text.h"

namespace skimlet {

using TByteDynamicArray = std::vector<uint8_t>;
using TBoolArray = std::vector<bool>;
using TDoubleDynamicArray = std::vector<double>;

class TElementCorrupted : public std::runtime_error {
 public:
  TElementCorrupted() : std::runtime_error("element is corrupted") {}
};

// The Count bytes of Data from Pos; throws when they are not all there.
Bytes Slice(Bytes data, size_t pos, size_t count);
// The bytes of Data from Pos to the end; throws when Pos lies beyond the end.
Bytes Tail(Bytes data, size_t pos);

uint8_t ReadUInt8(Bytes data, size_t pos);
uint16_t ReadUInt16LE(Bytes data, size_t pos);
uint16_t ReadUInt16BE(Bytes data, size_t pos);
uint32_t ReadUInt24LE(Bytes data, size_t pos);
uint32_t ReadUInt24BE(Bytes data, size_t pos);  // OUIs: 00 50 F2 reads as 0x0050F2
uint32_t ReadUInt32LE(Bytes data, size_t pos);
uint32_t ReadUInt32BE(Bytes data, size_t pos);
uint64_t ReadUInt48LE(Bytes data, size_t pos);

struct TKeyAndValue {
  int32_t Key;
  std::string_view Value;
};
using TKeyAndValueTable = std::span<const TKeyAndValue>;

// The value of the first row whose key matches, else Default.
std::string_view KeyToValue(TKeyAndValueTable table, int64_t key, std::string_view fallback);
// Texts[Index] when Index lies inside Texts, else Default.
std::string_view IndexToText(int64_t index, std::span<const std::string_view> texts, std::string_view fallback);

std::string_view BoolToText(bool value, std::string_view falseText, std::string_view trueText);
std::string_view EnabledToText(bool value);
std::string_view SupportedToText(bool value);
std::string_view DefinedToText(bool value);
std::string_view RequiredToText(bool value);
std::string_view CapableToText(bool value);
// The language texts sYes and sNo ("Yes" and "No" when no language gives them).
std::string YesNoToText(bool value);

// Bits are numbered from 0 through a byte string: bit i is bit (i mod 8) of byte (i div 8).
inline bool IsBitSet(uint64_t value, unsigned bit) { return bit < 64 && ((value >> bit) & 1u) != 0; }
// The value whose bit k is bit FirstBit+k of Data, k < Count (Count at most 32).
uint32_t GetBits(Bytes data, unsigned firstBit, unsigned count);
TBoolArray BytesToBoolArray(Bytes data, unsigned count);

// Bit diagrams: one character per bit from bit 0 up, a blank after every GroupSize characters but the last,
// the whole text reversed when Reverse is set (most significant bit first).
std::string BitsToText(Bytes data, unsigned count, unsigned groupSize, bool reverse);
// "1"/"0" for the bits of the field, "." elsewhere: byte 0x02, field of 1 bit at bit 1 gives "......1.".
std::string BitFieldToText(Bytes data, unsigned count, unsigned groupSize, bool reverse, unsigned fieldLength,
                           unsigned fieldStart);
// "x" for the bits of the range, "." elsewhere: 8 bits, 5 from bit 3 gives "xxxxx...".
std::string BitRangeToText(unsigned count, unsigned groupSize, bool reverse, unsigned rangeLength, unsigned rangeStart);
// "1"/"0" where the bit of Mask is set, "." elsewhere.
std::string MaskedBitsToText(Bytes data, unsigned count, unsigned groupSize, bool reverse, uint32_t mask);

}  // namespace skimlet
