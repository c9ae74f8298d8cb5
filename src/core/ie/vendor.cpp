#include "core/ie/vendor.h"

#include <utility>

#include "core/base/format.h"
#include "core/ie/names.h"

namespace skimlet {

namespace {

OUIVendorLookup& InstalledLookup() {
  static OUIVendorLookup lookup;
  return lookup;
}

struct SubtypeNameRow {
  uint32_t OUI;
  int Subtype;  // -1: every subtype of the OUI
  std::string_view Name;
};

constexpr SubtypeNameRow kSubtypeNames[] = {
    {0x00037F, 1, "Advanced Capability"},
    {0x00037F, 3, "Extended Range"},
    {0x001018, 2, "Information element"},
    {0x000C43, -1, "Information element"},
    {0x0050F2, 1, "WPA"},
    {0x0050F2, 2, "WMM/WME"},
    {0x0050F2, 4, "WPS"},
    {0x00904C, 0x33, "HT Capabilities Info (Pre-N HT Capabilities)"},
    {0x00904C, 0x34, "HT Additional Capabilities (Pre-N HT Operation)"},
};

}  // namespace

void SetOUIVendorLookup(OUIVendorLookup lookup) { InstalledLookup() = std::move(lookup); }

std::string OUIVendorName(uint32_t oui) {
  const OUIVendorLookup& lookup = InstalledLookup();
  return lookup ? lookup(oui & 0xFFFFFF) : std::string();
}

std::string TVendorSpecificInformationElement::GetOUIVendorName() const { return OUIVendorName(OUI); }

std::string TVendorSpecificInformationElement::GetVendorName() const {
  std::string_view known = KeyToValue(OUINameTable(), OUI, {});
  if (!known.empty()) return std::string(known);
  std::string organisation = GetOUIVendorName();
  return organisation.empty() ? std::string("Unknown") : organisation;
}

std::string TVendorSpecificInformationElement::GetSubtypeName() const {
  for (const SubtypeNameRow& row : kSubtypeNames)
    if (row.OUI == OUI && (row.Subtype < 0 || row.Subtype == Subtype)) return std::string(row.Name);
  return {};
}

TIETreeLine TVendorSpecificInformationElement::AddElementNode(TIETree& tree, TIETreeLine parent) const {
  std::string subtype = GetSubtypeName();
  if (subtype.empty()) subtype = Format("%d", {Subtype});
  std::string text(KeyToValue(ElementNameTable(), ID, "Unknown"));
  text += ": ";
  text += GetVendorName();
  text += ": ";
  text += subtype;
  return AddNode(tree, parent, std::move(text), Offset, Length + 2);
}

void TVendorSpecificInformationElement::AddHeaderNodes(TIETree& tree, TIETreeLine element) const {
  std::string organisation = GetOUIVendorName();
  AddBodyNode(
      tree, element,
      "Organization Identifier: " + GetOUIText() + " (" + (organisation.empty() ? "Unknown" : organisation) + ")", 0,
      3);
  std::string subtype = GetSubtypeName();
  AddBodyNode(tree, element,
              "Subtype: " + Format("%d", {Subtype}) + " (" + (subtype.empty() ? "Unknown" : subtype) + ")", 3, 1);
}

void TVendorSpecificInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  Bytes rest = Body(4);
  AddBodyNode(tree, element, Format("Data: %s", {BytesToHex(rest)}), 4, Length - 4);
  AddBodyNode(tree, element, Format("Text: %s", {BytesToPrintable(rest)}), 4, Length - 4);
}

}  // namespace skimlet
