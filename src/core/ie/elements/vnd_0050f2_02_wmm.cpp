#include "core/ie/elements/vnd_0050f2_02_wmm.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

constexpr std::string_view kAccessCategories[] = {"Best Effort (AC_BE)", "Background (AC_BK)", "Video (AC_VI)",
                                                  "Voice (AC_VO)"};
constexpr std::string_view kOUISubtypes[] = {"Information Element", "Parameter Element"};

using enum TBitWords;
using enum TBitSuffix;

constexpr TBitField kParameterSetCount = {0, 4, Number, "Parameter Set Count", {}, HexValue};
constexpr TBitField kUAPSD = {7, 1, Enabled, "U-APSD", {}, HexValue};
constexpr TBitField kACIFields[] = {
    {0, 4, Number, "Arbitration Inter Frame Spacing Number  (AIFSN)"},
    {4, 1, YesNo, "Admission Control Mandatory (ACM)"},
    {5, 2, Text, "Access Category Index (ACI)", kAccessCategories, HexValue},
    {7, 1, Reserved},
};
constexpr TBitField kECWFields[] = {
    {0, 4, Number, "ECWmin"},
    {4, 4, Number, "ECWmax"},
};

}  // namespace

void TWMEElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(7))) return;
  uint8_t ouiSubtype = Byte(4);
  std::string_view subtypeName = IndexToText(ouiSubtype, kOUISubtypes, "Unknown");
  AddBodyNode(tree, element, Format("OUI Subtype: %d (%s)", {ouiSubtype, subtypeName}), 4, 1);
  AppendText(tree, element, Format(": %s", {subtypeName}));
  AddBodyNode(tree, element, Format("Version: %d (0x%.2x)", {Byte(5), Byte(5)}), 5, 1);

  TBitLines qos(*this, tree, element, 6, 8, 1);
  TBitLines info = qos.Under(qos.Add(Format("QoS Info: %s (0x%.2x)", {qos.AllBits(), qos.Value()})));
  info.Draw(kParameterSetCount);
  info.Reserved(3, 4, Format("Reserved (0x%.2x)", {info.Bits(4, 3)}));
  info.Draw(kUAPSD);

  if (ouiSubtype == 0) return;
  // The parameter element's four AC records end at byte 24; later bytes are not shown.
  if (!CheckLength(tree, element, TLengthRule::AtLeast(24).Worded(TLengthWording::Equal))) return;
  AddBodyNode(tree, element, Format("Reserved: 0x%.2x", {Byte(7)}), 7, 1);
  for (int32_t pos : {8, 12, 16, 20}) AddACParameterNodes(tree, element, pos);
}

void TWMEElement::AddACParameterNodes(TIETree& tree, TIETreeLine element, int32_t pos) const {
  Bytes record = Slice(Data, static_cast<size_t>(pos), 4);
  TIETreeLine ac = AddBodyNode(tree, element, "AC Parameters", pos, 4);

  TBitLines aci(*this, tree, ac, static_cast<size_t>(pos), 8, 1);
  aci.Under(aci.Add(Format("%s: %s (0x%.2x)", {"ACI/AIFSN", aci.AllBits(), aci.Value()}))).Draw(kACIFields);
  std::string_view categoryName = IndexToText(aci.Bits(5, 2), kAccessCategories, "Unknown");

  TBitLines ecw(*this, tree, ac, static_cast<size_t>(pos + 1), 8, 1);
  ecw.Under(ecw.Add(Format("%s: %s (0x%.2x)", {"ECWmin/ECWmax", ecw.AllBits(), ecw.Value()}))).Draw(kECWFields);

  AddBodyNode(tree, ac, Format("%s: %d", {"TXOP Limit", ReadUInt16LE(record, 2)}), pos + 2, 2);
  AppendText(tree, ac, Format(": %s", {categoryName}));
}

}  // namespace skimlet
