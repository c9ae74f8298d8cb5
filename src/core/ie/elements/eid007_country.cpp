#include "core/ie/elements/eid007_country.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/elements/eid000_ssid.h"

namespace skimlet {

namespace {

constexpr TKeyAndValue kEnvironmentNames[] = {{0x20, "Any"}, {0x4F, "Outdoor"}, {0x49, "Indoor"}, {0, "Any"}};

bool IsAnyCountry(Bytes code) { return (code[0] | 0x20) == 'x' && (code[1] | 0x20) == 'x'; }

}  // namespace

bool TCountryElement::Parse() {
  CountryCode.clear();
  Environment = 0;
  if (Length > 2) {
    Bytes code = Data.first(2);
    if (!IsAnyCountry(code)) CountryCode = SSIDBytesToText(code);
    Environment = Data[2];
  }
  return true;
}

void TCountryElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (!CheckLength(tree, element, TLengthRule::MoreThan(5).Translated())) return;
  Bytes code = Slice(Data, 0, 2);
  uint8_t environment = Byte(2);
  std::string country, environmentName, environmentLetter;
  if (IsAnyCountry(code)) {
    country = Translate("Any") + " (XX)";
    environmentName = Translate("Any");
    environmentLetter.assign(1, 'X');
  } else {
    country = SSIDBytesToText(code);
    environmentName = Translate(KeyToValue(kEnvironmentNames, environment, "Any"));
    // A byte that would not print (the blank of "any environment" among them) is shown by its value.
    environmentLetter = environment <= 32 || environment >= 127 ? Format("0x%.2x", {environment})
                                                                : std::string(1, static_cast<char>(environment));
  }
  const std::string labelCountry = Translate("Country"), labelEnvironment = Translate("Environment");
  AddBodyNode(tree, element, Format("%s: %s", {labelCountry, country}), 0, 2);
  AddBodyNode(tree, element, Format("%s: %s (%s)", {labelEnvironment, environmentName, environmentLetter}), 2, 1);
  AppendText(tree, element, Format(": %s, %s: %s", {country, labelEnvironment, environmentName}));

  const std::string firstChannel = Translate("First Channel Number"), channels = Translate("Number of Channels"),
                    maxPower = Translate("Maximum Transmit Power Level"), dBm = Translate("dBm");
  for (int32_t p = 3; p < Length;) {
    if (Length - p < 3) {
      AddBodyNode(tree, element,
                  Format(Translate("Pad: (0x%.2x). The Pad is used to add a single octet to the element if the length "
                                   "is not evenly divisible by 2."),
                         {Byte(p)}),
                  p, 1);
      p += 1;
      continue;
    }
    uint8_t a = Byte(p), b = Byte(p + 1), c = Byte(p + 2);
    if (a <= 200) {
      TIETreeLine triplet =
          AddBodyNode(tree, element,
                      Format("%s: %s: %d, %s: %d, %s: %d %s",
                             {Translate("Subband Triplet"), firstChannel, a, channels, b, maxPower, c, dBm}),
                      p, 3);
      AddBodyNode(tree, triplet, Format("%s: %d", {firstChannel, a}), p, 1);
      AddBodyNode(tree, triplet, Format("%s: %d", {channels, b}), p + 1, 1);
      AddBodyNode(tree, triplet, Format("%s: %d %s", {maxPower, c, dBm}), p + 2, 1);
    } else {
      const std::string identifier = Translate("Operating Extension Identifier"),
                        opClass = Translate("Operating Class"), coverage = Translate("Coverage Class"),
                        airTime = Translate("Air Propagation Time"), microseconds = Translate("microseconds");
      std::string propagation = c == 0 ? "<1" : c <= 31 ? std::to_string(3 * c) : "-";
      TIETreeLine triplet = AddBodyNode(
          tree, element,
          Format("%s: %s: %d, %s: %d, %s: %d (%s: %s %s))", {Translate("Operating Triplet"), identifier, a, opClass, b,
                                                             coverage, c, airTime, propagation, microseconds}),
          p, 3);
      AddBodyNode(tree, triplet, Format("%s: %d", {identifier, a}), p, 1);
      AddBodyNode(tree, triplet, Format("%s: %d", {opClass, b}), p + 1, 1);
      AddBodyNode(tree, triplet, Format("%s: %d (%s: %s %s))", {coverage, c, airTime, propagation, microseconds}),
                  p + 2, 1);
    }
    p += 3;
  }
}

}  // namespace skimlet
