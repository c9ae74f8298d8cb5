// Texts of a network's derived values, the cell texts of the network list and its sort order.
#include "core/model/network.h"

namespace skimlet {

std::string TWLANNetwork::ChannelText() const { return {}; }
std::string TWLANNetwork::FrequencyText() const { return {}; }
std::string TWLANNetwork::BandText() const { return {}; }
std::string TWLANNetwork::WidthText() const { return {}; }
std::string TWLANNetwork::PhyLettersText() const { return {}; }
std::string TWLANNetwork::SecurityModeText() const { return {}; }
std::string TWLANNetwork::CipherText() const { return {}; }
std::string TWLANNetwork::AuthenticationText() const { return {}; }
std::string TWLANNetwork::WPSStateText() const { return {}; }
std::string TWLANNetwork::BssTypeText() const { return {}; }
std::string TWLANNetwork::RatesText() const { return {}; }
std::string TWLANNetwork::GetColumnText(int) const { return {}; }
std::string RateText(double) { return {}; }
int CompareNetworks(const TWLANNetwork&, const TWLANNetwork&, int) { return 0; }

}  // namespace skimlet
