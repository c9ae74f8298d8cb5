#include "core/ie/elements/eid108_adv_protocol.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/elements/bit_lines.h"
#include "core/ie/names.h"
#include "core/ie/vendor.h"

namespace skimlet {

namespace {

constexpr TKeyAndValue kProtocolIDs[] = {{0, "Access network query protocol (ANQP)"},
                                         {1, "MIH Information Service"},
                                         {2, "MIH Command and Event Services Capability Discovery"},
                                         {3, "Emergency Alert System (EAS)"},
                                         {4, "Registered location query protocol (RLQP)"},
                                         {221, "Vendor Specific"}};
constexpr uint8_t kVendorSpecificProtocol = 221;

constexpr TBitField kQueryResponseInfo[] = {
    {0, 7, TBitWords::Number, "Query Response Length Limit", {}, TBitSuffix::HexValue},
    {7, 1, TBitWords::YesNo, "PAME-BI (Preassociation Message Exchange BSSID Independent)", {}, TBitSuffix::DecValue},
};

// The short name of an OUI, else its organisation, else "Unknown".
std::string OUIName(uint32_t oui) {
  std::string_view name = KeyToValue(OUINameTable(), oui, {});
  if (!name.empty()) return std::string(name);
  std::string organisation = OUIVendorName(oui);
  return organisation.empty() ? "Unknown" : organisation;
}

}  // namespace

void TAdvertisementProtocolElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::AtLeast(2).Translated())) return;
  int32_t rest = Length, p = 0, k = 0;
  while (rest > 1) {  // a last single byte is no tuple
    ++k;
    TIETreeLine tuple =
        AddBodyNode(tree, element, Format("%s #%d", {Translate("Advertisement Protocol Tuple"), k}), p, 0);

    TBitLines info(*this, tree, tuple, static_cast<size_t>(p), 8, 1);
    info.Below(Format("%s: %s (0x%.2x)", {Translate("Query Response Info"), info.AllBits(), info.Value()}))
        .DrawTranslated(kQueryResponseInfo);
    --rest;
    ++p;

    uint8_t id = Byte(static_cast<size_t>(p));
    AddBodyNode(
        tree, tuple,
        Format("%s: %s (%d)", {Translate("Advertisement Protocol ID"), KeyToValue(kProtocolIDs, id, "Unknown"), id}), p,
        1);
    --rest;
    ++p;
    if (id != kVendorSpecificProtocol) continue;

    // The vendor part: length n, OUI and n - 3 bytes of data, all inside the element.
    if (rest < 1) {  // the tuple ends at its protocol ID: there is no length byte to read
      AddBodyNode(tree, element, Translate("Vendor specific info length error"), p - 1, 1);
      return;
    }
    uint8_t n = Byte(static_cast<size_t>(p));
    AddBodyNode(tree, tuple, Format("%s: %d", {Translate("Advertisement Protocol Vendor Specific length"), n}), p, 1);
    if (n < 4 || rest - 1 < n) {
      AddBodyNode(tree, element, Translate("Vendor specific info length error"), p, 1);
      return;
    }
    --rest;
    ++p;
    uint32_t oui = ReadUInt24BE(Data, static_cast<size_t>(p));
    AddBodyNode(tree, tuple, Format("%s: %s (%s)", {Translate("Vendor OUI"), OUIToText(oui), OUIName(oui)}), p, 3);
    rest -= 3;
    p += 3;
    int32_t m = n - 3;
    Bytes data = Slice(Data, static_cast<size_t>(p), static_cast<size_t>(m));
    AddBodyNode(tree, tuple, Format("%s: %s", {Translate("Data"), BytesToHex(data)}), p, m);
    AddBodyNode(tree, tuple, Format("%s: %s", {Translate("Text"), BytesToPrintable(data)}), p, m);
    rest -= m;
    p += m;
  }
}

}  // namespace skimlet
