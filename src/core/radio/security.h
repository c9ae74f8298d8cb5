// Names of the security suites an access point advertises: cipher suites and authentication and key
// management (AKM) suites, by their suite type. The element decoders show them; the network record builds
// its cipher and authentication texts from them.
#pragma once

#include <cstdint>
#include <string>

namespace skimlet {

// The cipher suite name of a suite type: 4 gives "CCMP", 0 the empty text, an unknown type the language
// text sUnknownAlgorithm.
std::string CipherSuiteName(uint8_t type);

// The AKM suite name of a suite type with the prefix of the element it came from: "WPA2-" for Version 2
// (RSN), "WPA-" otherwise (the WPA vendor element). Type 2 with version 2 gives "WPA2-PSK"; type 0 gives
// the prefix alone ("WPA2-"); an unknown type the prefix and the language text sUnknownAlgorithm.
std::string AKMSuiteName(uint8_t type, int version);

}  // namespace skimlet
