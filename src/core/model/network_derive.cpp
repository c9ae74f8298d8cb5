// Values derived from a network's entry and elements: WPS, channel and width, PHY types, rates, streams,
// achievable rate and security kinds.
#include "core/model/network.h"

namespace skimlet {

void TWLANNetwork::DeriveWPS() {}
void TWLANNetwork::DeriveChannelAndWidth() {}
void TWLANNetwork::DerivePhyTypes() {}
void TWLANNetwork::DeriveRates() {}
void TWLANNetwork::DeriveSecurityKinds() {}
int TWLANNetwork::GIIndex() const { return 1; }
double TWLANNetwork::ComputeAchievableRate() const { return 0; }
void TWLANNetwork::ApplyOperation(int, uint32_t, uint32_t) {}
void TWLANNetwork::MergeRates(const TDoubleDynamicArray&) {}
uint32_t TWLANNetwork::GetWidthKHz() const { return 20000; }
int TWLANNetwork::GetHighestPhyType() const { return 0; }

}  // namespace skimlet
