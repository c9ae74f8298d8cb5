#include "core/model/network_list.h"

#include <charconv>

#include "core/vendor/vendor.h"
#include "core/radio/values.h"
#include "core/service/wlan_records.h"
#include "core/settings/options.h"

namespace skimlet {

namespace {
constexpr const char* kCommentsFile = "comments.txt";
constexpr const char* kColorsFile = "colors.txt";

}  // namespace

TWLANNetworkList::TWLANNetworkList(const TProgramOptions& options, std::filesystem::path settingsFolder)
    : VendorLookup([](const std::array<uint8_t, 6>& bssid) { return VendorOfMAC(bssid); }),
      options_(&options),
      settingsFolder_(std::move(settingsFolder)) {
  if (!settingsFolder_.empty()) {
    Comments.LoadFromFile(settingsFolder_ / kCommentsFile);
    Colors.LoadFromFile(settingsFolder_ / kColorsFile);
  }
}

TWLANNetworkList::~TWLANNetworkList() {
  OnChange = nullptr;
  SaveTextFiles();
}

std::string TWLANNetworkList::SaveTextFiles() const {
  if (settingsFolder_.empty()) return {};
  std::string error = Comments.SaveToFile(settingsFolder_ / kCommentsFile);
  std::string colorsError = Colors.SaveToFile(settingsFolder_ / kColorsFile);
  return error.empty() ? colorsError : error;
}

uint64_t TWLANNetworkList::KeyOf(const std::array<uint8_t, 6>& bssid) {
  uint64_t key = 0;
  for (uint8_t b : bssid) key = key << 8 | b;
  return key;
}

void TWLANNetworkList::Reindex() {
  byBSSID_.clear();
  for (const auto& n : Items) byBSSID_.try_emplace(KeyOf(n->BSSID), n.get());
}

void TWLANNetworkList::Clear() {
  ColorGenerator.Reset();
  Items.clear();
  byBSSID_.clear();
  Recount();
}

void TWLANNetworkList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  Items.erase(Items.begin() + index);
  Reindex();
  Recount();
}

TWLANNetwork& TWLANNetworkList::Append(std::unique_ptr<TWLANNetwork> network) {
  network->Owner = this;
  byBSSID_.try_emplace(KeyOf(network->BSSID), network.get());
  Items.push_back(std::move(network));
  return *Items.back();
}

std::string TWLANNetworkList::LookupVendor(const std::array<uint8_t, 6>& bssid) {
  if (!VendorLookup) return {};
  try {
    std::string vendor = VendorLookup(bssid);
    vendorErrorReported_ = false;
    return vendor;
  } catch (const std::exception& e) {
    // The network is kept with an empty vendor and the refresh goes on; the user hears of it once.
    if (!vendorErrorReported_) {
      vendorErrorReported_ = true;
      if (OnVendorError) OnVendorError(e.what());
    }
    return {};
  }
}

void TWLANNetworkList::SetBssList(std::vector<uint8_t> block) {
  bssList_ = std::move(block);
  hasBssList_ = true;
  Merge();
}

void TWLANNetworkList::ReleaseBssList() {
  bssList_ = {};
  hasBssList_ = false;
}

void TWLANNetworkList::Refresh(LocalDateTime now) {
  ReleaseBssList();
  RefreshTime = now;
  std::vector<uint8_t> block;
  if (FetchBssList && FetchBssList(block) == 0) SetBssList(std::move(block));
  UpdateStatuses(RefreshTime);
  if (OnChange) OnChange(*this);
}

void TWLANNetworkList::Merge() {
  if (!hasBssList_) return;
  WlanBssListView view(bssList_);
  std::vector<WLAN_BSS_ENTRY> storage(view.Count());
  std::vector<TBssEntryRef> entries;
  entries.reserve(view.Count());
  for (size_t i = 0; i < view.Count(); ++i) {
    storage[i] = view.Entry(i);
    if (auto blob = view.Blob(i)) entries.push_back({&storage[i], *blob});
  }
  MergeEntries(entries);
}

void TWLANNetworkList::MergeEntries(std::span<const TBssEntryRef> entries) {
  for (const TBssEntryRef& e : entries) {
    TWLANNetwork* r = FindByBSSID(*e.Entry);
    bool created = r == nullptr;
    std::unique_ptr<TWLANNetwork> fresh;
    if (created) {
      fresh = std::make_unique<TWLANNetwork>();
      fresh->Owner = this;
      fresh->FirstSeen = RefreshTime;
      r = fresh.get();
    }
    r->UpdateFromEntry(*e.Entry, e.Blob);
    r->LastSeen = RefreshTime;
    if (created) {
      r->SetColor(DefaultColorFor(*r));
      r->SetComment(Comments.Value(r->BSSIDText));
      Append(std::move(fresh));
    }
  }
}

TWLANNetwork* TWLANNetworkList::FindByBSSID(const WLAN_BSS_ENTRY& entry) const {
  auto it = byBSSID_.find(KeyOf(entry.dot11Bssid));
  return it == byBSSID_.end() ? nullptr : it->second;
}

TColor TWLANNetworkList::DefaultColorFor(const TWLANNetwork& network) {
  TColor generated = ColorGenerator.Next();
  std::string stored = Colors.Value(network.BSSIDText);
  int64_t value = -1;
  auto [end, ec] = std::from_chars(stored.data(), stored.data() + stored.size(), value);
  if (ec == std::errc() && end == stored.data() + stored.size() && !stored.empty() && value >= 0)
    return static_cast<TColor>(value & 0xFFFFFFFF);
  return generated;
}

void TWLANNetworkList::UpdateStatuses(LocalDateTime time) {
  const int64_t inactiveAfter = Options().DeltaTimeInactive;
  for (const auto& n : Items) {
    n->Connected = !ConnectedBSSIDText.empty() && n->BSSIDText == ConnectedBSSIDText;
    n->SetActive(SecondsBetween(n->LastSeen, time) <= inactiveAfter);
    n->AddSample(time);
  }
  Recount();
}

void TWLANNetworkList::Recount() {
  Counters.fill(0);
  for (const auto& n : Items) {
    ++Counters[kCountAll];
    if (n->Active) ++Counters[kCountActive];
    if (n->SSID.empty()) ++Counters[kCountHidden];
    for (int p = 0; p <= kPhyTypeLast; ++p)
      if (n->PhyTypes.Contains(p)) ++Counters[static_cast<size_t>(kCountPhyFirst + p)];
    for (int k = 1; k <= kSecurityKindLast; ++k)
      if (n->SecurityKinds.Contains(k)) ++Counters[static_cast<size_t>(kCountSecurityFirst + k)];
    ++Counters[static_cast<size_t>(kCountQualityFirst + (n->Active ? std::min<int>(n->QualityClass, 5) : 0))];
    if (n->ChannelWidth <= kWidth320) ++Counters[static_cast<size_t>(kCountWidthFirst + n->ChannelWidth)];
    if (n->Band <= kBand6GHz) ++Counters[static_cast<size_t>(kCountBandFirst + n->Band)];
    if (n->WPSState <= 3) ++Counters[static_cast<size_t>(kCountWPSStateFirst + n->WPSState)];
    if (!n->WPSVersion.empty()) ++Counters[n->WPSVersion[0] == '2' ? kCountWPSVersion2 : kCountWPSVersion1];
  }
}

}  // namespace skimlet
