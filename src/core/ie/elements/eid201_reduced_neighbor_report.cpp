#include "core/ie/elements/eid201_reduced_neighbor_report.h"

#include <algorithm>

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

using enum TBitWords;
using enum TBitSuffix;

constexpr int32_t kFieldHeader = 4;  // TBTT information header (2), operating class, channel number

constexpr TBitField kHeaderFields[] = {
    {0, 2, Number, "TBTT Information Field Type"},
    {2, 1, YesNo, "Filtered Neighbor AP", {}, DecValue},
    {3, 1, Reserved},
};
constexpr TBitField kLengthField = {8, 8, Number, "TBTT Information Length"};
constexpr TBitField kBSSParameterFields[] = {
    {0, 1, YesNo, "OCT Recommended", {}, DecValue},
    {1, 1, YesNo, "Same SSID", {}, DecValue},
    {2, 1, YesNo, "Multiple BSSID", {}, DecValue},
    {3, 1, YesNo, "Transmitted BSSID", {}, DecValue},
    {4, 1, YesNo, "Member Of ESS With 2.4/5 GHz Co-Located AP", {}, DecValue},
    {5, 1, YesNo, "Unsolicited Probe Responses Active", {}, DecValue},
    {6, 1, YesNo, "Co-Located AP", {}, DecValue},
    {7, 1, Reserved},
};
constexpr TBitField kMLDParameterFields[] = {
    {0, 8, Number, "AP MLD ID"},
    {8, 4, Number, "Link ID"},
    {12, 8, Number, "BSS Parameters Change Count"},
    {20, 1, YesNo, "All Updates Included", {}, DecValue},
    {21, 1, YesNo, "Disabled Link Indication", {}, DecValue},
    {22, 2, Reserved},
};

// Where the fields of a TBTT information set lie, by its length; -1: not held. A length without a layout of
// its own is read with the longest layout it holds, the bytes beyond it are reserved.
struct Layout {
  int BSSID = -1, ShortSSID = -1, BSSParameters = -1, PSD = -1, MLD = -1, Used = 1;
};
Layout LayoutOf(int length) {
  if (length >= 16) return {1, 7, 11, 12, 13, 16};
  if (length >= 13) return {1, 7, 11, 12, -1, 13};
  if (length >= 12) return {1, 7, 11, -1, -1, 12};
  if (length >= 11) return {1, 7, -1, -1, -1, 11};
  if (length >= 9) return {1, -1, 7, 8, -1, 9};
  if (length >= 8) return {1, -1, 7, -1, -1, 8};
  if (length >= 7) return {1, -1, -1, -1, -1, 7};
  if (length >= 6) return {-1, 1, 5, -1, -1, 6};
  if (length >= 5) return {-1, 1, -1, -1, -1, 5};
  if (length >= 2) return {-1, -1, 1, -1, -1, 2};
  return {};
}

// The set of Length bytes at the start of Set (Length >= 1 and Set holds it).
TRNRNeighborAP DecodeSet(Bytes set, int length) {
  TRNRNeighborAP ap;
  const Layout l = LayoutOf(length);
  ap.TBTTOffset = ReadUInt8(set, 0);
  if (l.BSSID >= 0) {
    ap.HasBSSID = true;
    std::copy_n(Slice(set, static_cast<size_t>(l.BSSID), 6).begin(), 6, ap.BSSID.begin());
  }
  if (l.ShortSSID >= 0) {
    ap.HasShortSSID = true;
    ap.ShortSSID = ReadUInt32LE(set, static_cast<size_t>(l.ShortSSID));
  }
  if (l.BSSParameters >= 0) {
    ap.HasBSSParameters = true;
    ap.BSSParameters = ReadUInt8(set, static_cast<size_t>(l.BSSParameters));
  }
  if (l.PSD >= 0) {
    ap.HasPSD20MHz = true;
    ap.PSD20MHz = static_cast<int8_t>(ReadUInt8(set, static_cast<size_t>(l.PSD)));
  }
  if (l.MLD >= 0) {
    ap.HasMLDParameters = true;
    uint32_t mld = ReadUInt24LE(set, static_cast<size_t>(l.MLD));
    ap.APMLDID = static_cast<uint8_t>(mld & 0xFF);
    ap.LinkID = static_cast<uint8_t>((mld >> 8) & 0x0F);
    ap.BSSParametersChangeCount = static_cast<uint8_t>((mld >> 12) & 0xFF);
    ap.AllUpdatesIncluded = IsBitSet(mld, 20);
    ap.DisabledLink = IsBitSet(mld, 21);
  }
  return ap;
}

std::string TBTTOffsetText(uint8_t offset) {
  if (offset == 254) return "Neighbor AP TBTT Offset: 254 TUs or more";
  if (offset == 255) return "Neighbor AP TBTT Offset: Unknown (255)";
  return Format("Neighbor AP TBTT Offset: %d TUs", {offset});
}

std::string PSDText(int8_t psd) {
  if (psd == 127) return "20 MHz PSD: No information (127)";
  return Format("20 MHz PSD: %.1f dBm/MHz (%d)", {psd / 2.0, psd});
}

}  // namespace

bool TReducedNeighborReportElement::Parse() {
  size_t p = 0;
  while (p + kFieldHeader <= Data.size()) {
    const uint16_t header = ReadUInt16LE(Data, p);
    const size_t count = ((header >> 4) & 0x0F) + 1u, length = header >> 8;
    const size_t sets = p + kFieldHeader;
    if (length == 0 || sets + count * length > Data.size()) {
      Truncated = true;
      return true;
    }
    if ((header & 0x03) == 0)
      for (size_t k = 0; k < count; ++k) {
        TRNRNeighborAP ap = DecodeSet(Slice(Data, sets + k * length, length), static_cast<int>(length));
        ap.OperatingClass = Data[p + 2];
        ap.Channel = Data[p + 3];
        ap.FilteredNeighborAP = IsBitSet(header, 2);
        Neighbors.push_back(ap);
      }
    p = sets + count * length;
  }
  Truncated = p != Data.size();
  return true;
}

void TReducedNeighborReportElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  int32_t p = 0, index = 0;
  while (p < Length) {
    ++index;
    const int32_t left = Length - p;
    if (left < kFieldHeader) {
      AddBodyNode(tree, element,
                  Format("Neighbor AP Information %d: element is corrupted (%d bytes left)", {index, left}), p, left);
      return;
    }
    TBitLines header(*this, tree, element, static_cast<size_t>(p), 16, 2);
    const int32_t type = static_cast<int32_t>(header.Bits(0, 2)), count = static_cast<int32_t>(header.Bits(4, 4)) + 1,
                  length = static_cast<int32_t>(header.Bits(8, 8));
    const int32_t need = kFieldHeader + count * length;
    TIETreeLine field =
        AddBodyNode(tree, element, Format("Neighbor AP Information %d", {index}), p, std::min(need, left));
    const TBitLines headerLines = header.Under(
        header.Under(field).Add(Format("TBTT Information Header: %s (0x%.4x)", {header.AllBits(), header.Value()})));
    headerLines.Draw(kHeaderFields);
    // The count field holds the number of sets less one.
    headerLines.Field(4, 4, Format("TBTT Information Count: %d (sets: %d)", {count - 1, count}));
    headerLines.Draw(kLengthField);
    const uint8_t opClass = Byte(static_cast<size_t>(p + 2)), channel = Byte(static_cast<size_t>(p + 3));
    AddBodyNode(tree, field, Format("Operating Class: %d", {opClass}), p + 2, 1);
    AddBodyNode(tree, field, Format("Channel Number: %d", {channel}), p + 3, 1);
    if (length == 0 || need > left) {
      AddBodyNode(tree, field,
                  Format("TBTT Information Length is wrong: %d sets of %d bytes, %d bytes left",
                         {count, length, left - kFieldHeader}),
                  p, 2);
      return;
    }
    int32_t s = p + kFieldHeader;
    for (int32_t k = 1; k <= count; ++k, s += length) {
      const auto pos = static_cast<size_t>(s);
      TIETreeLine set = AddBodyNode(tree, field, Format("TBTT Information Set %d", {k}), s, length);
      if (type != 0) {
        AddBodyNode(tree, set, Format("Reserved: %s", {BytesToHex(Slice(Data, pos, static_cast<size_t>(length)))}), s,
                    length);
        continue;
      }
      const Layout l = LayoutOf(length);
      const TRNRNeighborAP ap = DecodeSet(Slice(Data, pos, static_cast<size_t>(length)), length);
      AddBodyNode(tree, set, TBTTOffsetText(ap.TBTTOffset), s, 1);
      if (ap.HasBSSID) {
        AddBodyNode(tree, set, Format("BSSID: %s", {BytesToHex(Bytes(ap.BSSID), "-")}), s + l.BSSID, 6);
        AppendText(tree, set, ": " + BytesToHex(Bytes(ap.BSSID), "-"));
      }
      if (ap.HasShortSSID) AddBodyNode(tree, set, Format("Short SSID: 0x%.8x", {ap.ShortSSID}), s + l.ShortSSID, 4);
      if (ap.HasBSSParameters) {
        TBitLines bits(*this, tree, set, pos + static_cast<size_t>(l.BSSParameters), 8, 1);
        bits.Under(bits.Add(Format("BSS Parameters: %s (0x%.2x)", {bits.AllBits(), bits.Value()})))
            .Draw(kBSSParameterFields);
      }
      if (ap.HasPSD20MHz) AddBodyNode(tree, set, PSDText(ap.PSD20MHz), s + l.PSD, 1);
      if (ap.HasMLDParameters) {
        TBitLines bits(*this, tree, set, pos + static_cast<size_t>(l.MLD), 24, 3);
        bits.Under(bits.Add(Format("MLD Parameters: 0x%.6x", {bits.Value()}))).Draw(kMLDParameterFields);
      }
      if (l.Used < length)
        AddBodyNode(
            tree, set,
            Format("Reserved: %s",
                   {BytesToHex(Slice(Data, pos + static_cast<size_t>(l.Used), static_cast<size_t>(length - l.Used)))}),
            s + l.Used, length - l.Used);
    }
    p = s;
  }
}

}  // namespace skimlet
