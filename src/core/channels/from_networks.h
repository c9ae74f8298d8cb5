// Network records as channel advice hears them: the bridge from the network list to the air log.
#pragma once

#include <vector>

#include "core/channels/air_log.h"
#include "core/model/network_list.h"

namespace skimlet {

// The network as one refresh heard it: the channel it occupies from its announced width and centres (a 40
// MHz channel between primary and secondary where the secondary is known), its signal, BSS Load and country.
TAirNetwork AirNetworkOf(const TWLANNetwork& network);

// The active networks of List (those heard lately), in list order.
std::vector<TAirNetwork> HeardNetworks(const TWLANNetworkList& list);

}  // namespace skimlet
