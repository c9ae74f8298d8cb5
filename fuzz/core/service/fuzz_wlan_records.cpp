// Arbitrary bytes as one of the service's blocks, chosen by the first byte. A block that reads must write
// back to a block that reads the same; the BSS list view never hands out bytes outside the block.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "core/service/wlan_records.h"

namespace {

using namespace skimlet;

void Check(bool ok) {
  if (!ok) std::abort();
}

// Decode, encode, decode again: the same record.
template <class T>
void RoundTrip(std::span<const uint8_t> block) {
  std::optional<T> first = T::Decode(block);
  if (!first) return;
  WlanBlock again = first->Encode();
  std::optional<T> second = T::Decode(again);
  Check(second.has_value());
  Check(second->Encode() == again);
}

void BssList(std::span<const uint8_t> block) {
  WlanBssListView view(block);
  Check(view.Count() <= view.NumberOfItems());
  for (size_t i = 0; i < view.Count(); ++i) {
    const WLAN_BSS_ENTRY e = view.Entry(i);
    std::span<const uint8_t> bytes = view.EntryBytes(i);
    Check(bytes.data() >= block.data() && bytes.data() + bytes.size() == block.data() + block.size());
    if (auto blob = view.Blob(i)) {
      Check(blob->size() == e.ulIeSize);
      Check(blob->data() >= block.data() && blob->data() + blob->size() <= block.data() + block.size());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::span<const uint8_t> block(data + 1, size - 1);
  switch (data[0] % 10) {
    case 0: RoundTrip<WLAN_INTERFACE_INFO_LIST>(block); break;
    case 1: BssList(block); break;
    case 2: RoundTrip<WLAN_CONNECTION_ATTRIBUTES>(block); break;
    case 3: RoundTrip<WLAN_STATISTICS>(block); break;
    case 4: RoundTrip<WLAN_PHY_RADIO_STATE>(block); break;
    case 5: RoundTrip<WLAN_RADIO_STATE>(block); break;
    case 6: RoundTrip<WLAN_INTERFACE_CAPABILITY>(block); break;
    case 7: RoundTrip<WLAN_PROFILE_INFO_LIST>(block); break;
    case 8:
      if (auto v = DecodeUInt32Value(block)) Check(DecodeUInt32Value(EncodeUInt32Value(*v)) == v);
      DecodeInt32Value(block);
      break;
    case 9: {
      // The text helpers the blocks are made with.
      std::string_view text(reinterpret_cast<const char*>(block.data()), block.size());
      if (auto wide = Utf8ToUtf16(text)) Check(Utf16ToUtf8(*wide) == text);
      if (auto guid = GuidFromText(text)) Check(GuidFromText(GuidToText(*guid)) == guid);
      WlanBlock field;
      PutWideField(field, text, kWlanMaxNameLength);
      Check(field.size() == 2 * kWlanMaxNameLength);
      ReadWideField(field, kWlanMaxNameLength);
      break;
    }
  }
  return 0;
}
