#include "core/wlan/update_cycle.h"

#include "core/settings/options.h"

namespace skimlet {

TUpdateCycle::TUpdateCycle(TWLANInterfaces& interfaces, const TProgramOptions& options, PostFunction post, TClock clock)
    : interfaces_(&interfaces), options_(&options), clock_(std::move(clock)) {
  interfaces_->SetPostScanResults(std::move(post));
}

TUpdateCycle::~TUpdateCycle() { interfaces_->SetPostScanResults(nullptr); }

bool TUpdateCycle::Tick() {
  if (paused_ || !interfaces_->Selected()) return false;
  return interfaces_->RequestScan();
}

bool TUpdateCycle::ScanResultsReady() {
  if (paused_) {
    interfaces_->ScanPending = false;
    return false;
  }
  DeleteStaleIfAsked();
  interfaces_->TakeScanResults();
  return true;
}

void TUpdateCycle::UpdateNow() {
  DeleteStaleIfAsked();
  if (TWLANInterface* i = interfaces_->Selected()) i->RefreshNetworks();
}

void TUpdateCycle::DeleteStaleIfAsked() {
  if (options_->bDeleteNetworkIfNotSeen) DeleteStaleNetworks(options_->intDeleteNetworkIfNotSeenMin, Now());
}

int TUpdateCycle::DeleteStaleNetworks(int minutes, LocalDateTime now) {
  TWLANInterface* i = interfaces_->Selected();
  if (!i) return 0;
  TWLANNetworkList& list = *i->Networks;
  std::vector<const TWLANNetwork*> stale;
  std::vector<int> indexes;
  for (int k = 0; k < list.Count(); ++k) {
    const TWLANNetwork& n = *list.Items[static_cast<size_t>(k)];
    if (MinutesBetween(n.LastSeen, now) >= minutes) {
      stale.push_back(&n);
      indexes.push_back(k);
    }
  }
  if (stale.empty()) return 0;
  if (OnNetworksRemoving) OnNetworksRemoving(list, stale);
  for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) list.Delete(*it);
  return static_cast<int>(stale.size());
}

}  // namespace skimlet
