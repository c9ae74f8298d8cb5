// Value texts of HT operation fields, shown by the HT operation element and by others that carry the same
// fields (neighbour report subelements and the pre-standard vendor HT elements). Indexed by the field value;
// "Unknown" outside.
#pragma once

#include <string_view>

namespace skimlet::httext {

inline constexpr std::string_view kSecondaryChannelOffset[] = {
    "No secondary channel is present", "Secondary channel is above the primary channel", "Reserved",
    "Secondary channel is below the primary channel"};
inline constexpr std::string_view kSTAChannelWidth[] = {"20 MHz channel width", "Any channel width"};
inline constexpr std::string_view kRIFSMode[] = {"RIFS is prohibited", "RIFS is permitted"};
inline constexpr std::string_view kLSIGTXOPProtectionFullSupport[] = {
    "One or more HT STA in the BSS do not support L-SIG TXOP protection",
    "All HT STA in the BSS support L-SIG TXOP protection"};
inline constexpr std::string_view kPCOActive[] = {"PCO is not active in the BSS", "PCO is active in the BSS"};
inline constexpr std::string_view kPCOPhase[] = {"Indicates switch to or continue 20 MHz phase",
                                                 "Indicates switch to or continue 40 MHz phase"};

}  // namespace skimlet::httext
