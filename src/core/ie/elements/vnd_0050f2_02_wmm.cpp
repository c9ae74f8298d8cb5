#include "core/ie/elements/vnd_0050f2_02_wmm.h"

#include "core/base/format.h"

namespace skimlet {

namespace {

constexpr std::string_view kAccessCategories[] = {"Best Effort (AC_BE)", "Background (AC_BK)", "Video (AC_VI)",
                                                  "Voice (AC_VO)"};
constexpr std::string_view kOUISubtypes[] = {"Information Element", "Parameter Element"};

}  // namespace

void TWMEElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(7))) return;
  uint8_t ouiSubtype = Byte(4);
  std::string_view subtypeName = IndexToText(ouiSubtype, kOUISubtypes, "Unknown");
  AddBodyNode(tree, element, Format("OUI Subtype: %d (%s)", {ouiSubtype, subtypeName}), 4, 1);
  AppendText(tree, element, Format(": %s", {subtypeName}));
  AddBodyNode(tree, element, Format("Version: %d (0x%.2x)", {Byte(5), Byte(5)}), 5, 1);

  Bytes qos = Slice(Data, 6, 1);
  uint8_t q = qos[0];
  TIETreeLine info = AddBodyNode(tree, element, Format("QoS Info: %s (0x%.2x)", {BitsToText(qos, 8, 8, true), q}), 6, 1);
  uint32_t count = GetBits(qos, 0, 4);
  AddBodyNode(tree, info,
              Format("%s - %s", {BitFieldToText(qos, 8, 8, true, 4, 0),
                                 Format("Parameter Set Count: %d (0x%.2x)", {count, count})}),
              6, 1);
  AddBodyNode(tree, info,
              Format("%s - %s", {BitRangeToText(8, 8, true, 3, 4), Format("Reserved (0x%.2x)", {GetBits(qos, 4, 3)})}),
              6, 1);
  uint32_t uapsd = GetBits(qos, 7, 1);
  AddBodyNode(tree, info,
              Format("%s - %s", {BitFieldToText(qos, 8, 8, true, 1, 7),
                                 Format("U-APSD: %s (0x%.2x)", {EnabledToText(uapsd != 0), uapsd})}),
              6, 1);

  if (ouiSubtype == 0) return;
  // The parameter element's four AC records end at byte 24; later bytes are not shown.
  if (!CheckLength(tree, element, TLengthRule::AtLeast(24).Worded(TLengthWording::Equal))) return;
  AddBodyNode(tree, element, Format("Reserved: 0x%.2x", {Byte(7)}), 7, 1);
  for (int32_t pos : {8, 12, 16, 20}) AddACParameterNodes(tree, element, pos);
}

void TWMEElement::AddACParameterNodes(TIETree& tree, TIETreeLine element, int32_t pos) const {
  Bytes record = Slice(Data, static_cast<size_t>(pos), 4);
  TIETreeLine ac = AddBodyNode(tree, element, "AC Parameters", pos, 4);

  Bytes aci = record.first(1);
  uint8_t a = aci[0];
  TIETreeLine field =
      AddBodyNode(tree, ac, Format("%s: %s (0x%.2x)", {"ACI/AIFSN", BitsToText(aci, 8, 8, true), a}), pos, 1);
  AddBodyNode(tree, field,
              Format("%s - %s: %d", {BitFieldToText(aci, 8, 8, true, 4, 0),
                                     "Arbitration Inter Frame Spacing Number  (AIFSN)", GetBits(aci, 0, 4)}),
              pos, 1);
  AddBodyNode(tree, field,
              Format("%s - %s: %s", {BitFieldToText(aci, 8, 8, true, 1, 4), "Admission Control Mandatory (ACM)",
                                     YesNoToText(IsBitSet(a, 4))}),
              pos, 1);
  uint32_t category = GetBits(aci, 5, 2);
  std::string_view categoryName = IndexToText(category, kAccessCategories, "Unknown");
  AddBodyNode(tree, field,
              Format("%s - %s: %s (0x%.2x)",
                     {BitFieldToText(aci, 8, 8, true, 2, 5), "Access Category Index (ACI)", categoryName, category}),
              pos, 1);
  AddBodyNode(tree, field, Format("%s - %s", {BitRangeToText(8, 8, true, 1, 7), "Reserved"}), pos, 1);

  Bytes ecw = record.subspan(1, 1);
  field = AddBodyNode(tree, ac, Format("%s: %s (0x%.2x)", {"ECWmin/ECWmax", BitsToText(ecw, 8, 8, true), ecw[0]}),
                      pos + 1, 1);
  AddBodyNode(tree, field, Format("%s - %s: %d", {BitFieldToText(ecw, 8, 8, true, 4, 0), "ECWmin", GetBits(ecw, 0, 4)}),
              pos + 1, 1);
  AddBodyNode(tree, field, Format("%s - %s: %d", {BitFieldToText(ecw, 8, 8, true, 4, 4), "ECWmax", GetBits(ecw, 4, 4)}),
              pos + 1, 1);

  AddBodyNode(tree, ac, Format("%s: %d", {"TXOP Limit", ReadUInt16LE(record, 2)}), pos + 2, 2);
  AppendText(tree, ac, Format(": %s", {categoryName}));
}

}  // namespace skimlet
