#include "core/ie/elements/eid107_interworking.h"

#include "core/base/format.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

namespace {

constexpr TKeyAndValue kAccessNetworkTypes[] = {{0, "Private network"},
                                                {1, "Private network with guest access"},
                                                {2, "Chargeable public network"},
                                                {3, "Free public network"},
                                                {4, "Personal device network"},
                                                {5, "Emergency services only network"},
                                                {6, "Reserved"},
                                                {7, "Reserved"},
                                                {8, "Reserved"},
                                                {9, "Reserved"},
                                                {10, "Reserved"},
                                                {11, "Reserved"},
                                                {12, "Reserved"},
                                                {13, "Reserved"},
                                                {14, "Test or experimental"},
                                                {15, "Wildcard"}};

constexpr TKeyAndValue kVenueGroups[] = {
    {0, "Unspecified"},   {1, "Assembly"},   {2, "Business"},    {3, "Educational"}, {4, "Factory and Industrial"},
    {5, "Institutional"}, {6, "Mercantile"}, {7, "Residential"}, {8, "Storage"},     {9, "Utility and Miscellaneous"},
    {10, "Vehicular"},    {11, "Outdoor"}};

constexpr TKeyAndValue kVenues0[] = {{0, "Unspecified"}};
constexpr TKeyAndValue kVenues1[] = {{0, "Unspecified Assembly"},
                                     {1, "Arena"},
                                     {2, "Stadium"},
                                     {3, "Passenger Terminal (e.g., airport, bus, ferry, train station)"},
                                     {4, "Amphitheater"},
                                     {5, "Amusement Park"},
                                     {6, "Place of Worship"},
                                     {7, "Convention Center"},
                                     {8, "Library"},
                                     {9, "Museum"},
                                     {10, "Restaurant"},
                                     {11, "Theater"},
                                     {12, "Bar"},
                                     {13, "Coffee Shop"},
                                     {14, "Zoo or Aquarium"},
                                     {15, "Emergency Coordination Center"}};
constexpr TKeyAndValue kVenues2[] = {{0, "Unspecified Business"},
                                     {1, "Doctor or Dentist office"},
                                     {2, "Bank"},
                                     {3, "Fire Station"},
                                     {4, "Police Station"},
                                     {6, "Post Office"},
                                     {7, "Professional Office"},
                                     {8, "Research and Development Facility"},
                                     {9, "Attorney Office"}};
constexpr TKeyAndValue kVenues3[] = {
    {0, "Unspecified Educational"}, {1, "School, Primary"}, {2, "School, Secondary"}, {3, "University or College"}};
constexpr TKeyAndValue kVenues4[] = {{0, "Unspecified Factory and Industrial"}, {1, "Factory"}};
constexpr TKeyAndValue kVenues5[] = {{0, "Unspecified Institutional"},
                                     {1, "Hospital"},
                                     {2, "Long-Term Care Facility (e.g., Nursing home, Hospice, etc.)"},
                                     {3, "Alcohol and Drug Rehabilitation Center"},
                                     {4, "Group Home"},
                                     {5, "Prison or Jail"}};
constexpr TKeyAndValue kVenues6[] = {{0, "Unspecified Mercantile"},     {1, "Retail Store"},  {2, "Grocery Market"},
                                     {3, "Automotive Service Station"}, {4, "Shopping Mall"}, {5, "Gas Station"}};
constexpr TKeyAndValue kVenues7[] = {{0, "Unspecified Residential"},
                                     {1, "Private Residence"},
                                     {2, "Hotel or Motel"},
                                     {3, "Dormitory"},
                                     {4, "Boarding House"}};
constexpr TKeyAndValue kVenues8[] = {{0, "Unspecified Storage"}};
constexpr TKeyAndValue kVenues9[] = {{0, "Unspecified Utility and Miscellaneous"}};
constexpr TKeyAndValue kVenues10[] = {{0, "Unspecified Vehicular"},
                                      {1, "Automobile or Truck"},
                                      {2, "Airplane"},
                                      {3, "Bus"},
                                      {4, "Ferry"},
                                      {5, "Ship or Boat"},
                                      {6, "Train"},
                                      {7, "Motor Bike"}};
constexpr TKeyAndValue kVenues11[] = {
    {0, "Unspecified Outdoor"}, {1, "Muni-mesh Network"}, {2, "City Park"}, {3, "Rest Area"},
    {4, "Traffic Control"},     {5, "Bus Stop"},          {6, "Kiosk"}};
constexpr TKeyAndValueTable kVenuesByGroup[] = {kVenues0, kVenues1, kVenues2, kVenues3, kVenues4,  kVenues5,
                                                kVenues6, kVenues7, kVenues8, kVenues9, kVenues10, kVenues11};

}  // namespace

std::string_view VenueTypeName(uint8_t group, uint8_t type) {
  if (group >= std::size(kVenuesByGroup)) return "Unknown";
  return KeyToValue(kVenuesByGroup[group], type, "Reserved");
}

void TInterworkingElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  // Options, then the venue (2 bytes) and the HESSID (6 bytes) when present.
  if (!CheckLength(tree, element, TLengthRule::OneOf({1, 3, 7, 9}, TLengthWording::Interworking))) return;
  TBitLines access(*this, tree, element, 0, 8, 1);
  TBitLines options = access.Below(Format("Access Network Options: %s (0x%.2x)", {access.AllBits(), access.Value()}));
  uint32_t type = options.Bits(0, 4);
  options.Field(4, 0, Format("Access Network Type: %s (%d)", {KeyToValue(kAccessNetworkTypes, type, "Unknown"), type}));
  // The flags put two blanks before their value.
  auto flag = [&](unsigned bit, std::string_view label, std::string_view text) {
    options.Field(1, bit, Format("%s%s  (%d)", {label, text, options.Bit(bit)}));
  };
  flag(4, "Internet: ", options.Bit(4) ? "Yes" : "Unspecified");
  flag(5, "ASRA (Additional Step Required for Access): ", YesNoToText(options.Bit(5)));
  flag(6, "ESR (Emergency Services Reachable): ", YesNoToText(options.Bit(6)));
  flag(7, "UESA (Unauthenticated Emergency Service Accessible): ", YesNoToText(options.Bit(7)));

  int32_t p = 1;
  if (Length == 3 || Length == 9) {
    uint8_t g = Byte(1), t = Byte(2);
    std::string_view groupText = KeyToValue(kVenueGroups, g, "Unknown"), typeText = VenueTypeName(g, t);
    TIETreeLine venue = AddBodyNode(tree, element, Format("Venue Info: %s/%s", {groupText, typeText}), 1, 2);
    AddBodyNode(tree, venue, Format("Venue Group: %s (%d)", {groupText, g}), 1, 1);
    AddBodyNode(tree, venue, Format("Venue Type:  %s (%d)", {typeText, t}), 2, 1);
    p = 3;
  }
  if (Length == 7 || Length == 9)
    AddBodyNode(tree, element, Format("HESSID: %s", {BytesToHex(Slice(Data, static_cast<size_t>(p), 6), "-")}), p, 6);
}

}  // namespace skimlet
