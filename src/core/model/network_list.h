// TWLANNetworkList: the networks one interface has heard, merged from its BSS lists, aged to inactive,
// sampled and counted; with the colours and comments the user gave them (colors.txt, comments.txt).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/graph/colors.h"
#include "core/model/name_value_list.h"
#include "core/model/network.h"

namespace skimlet {

struct TProgramOptions;

// One entry of a BSS list with its element blob.
struct TBssEntryRef {
  const WLAN_BSS_ENTRY* Entry;
  Bytes Blob;
};

// Indexes of the summary counters.
enum TNetworkCounter : int {
  kCountAll = 0,
  kCountActive = 1,
  kCountHidden = 2,
  kCountPhyFirst = 3,        // + PHY type 0..11
  kCountSecurityFirst = 14,  // + security kind 1..6
  kCountQualityFirst = 21,   // + quality class 0..5
  kCountWidthFirst = 27,     // + channel width 0..5
  kCountBandFirst = 33,      // + band 0..2
  kCountWPSStateFirst = 36,  // + WPS state 0..3
  kCountWPSVersion1 = 40,
  kCountWPSVersion2 = 41,
  kNetworkCounterCount = 42,
};

class TWLANNetworkList {
 public:
  // Options: read by the networks' derivations and by the status update; kept by reference. SettingsFolder:
  // where comments.txt and colors.txt live (empty: none are read or written).
  explicit TWLANNetworkList(const TProgramOptions& options, std::filesystem::path settingsFolder = {});
  // Writes comments.txt and colors.txt (always, also when empty).
  ~TWLANNetworkList();
  TWLANNetworkList(const TWLANNetworkList&) = delete;
  TWLANNetworkList& operator=(const TWLANNetworkList&) = delete;

  // The networks in list order. Add and remove them through the operations below, which keep the BSSID index.
  std::vector<std::unique_ptr<TWLANNetwork>> Items;
  std::function<void(TWLANNetworkList&)> OnChange;
  LocalDateTime RefreshTime = 0;
  std::array<int32_t, kNetworkCounterCount> Counters{};
  TGraphColorGenerator ColorGenerator;
  TNameValueList Comments;
  TNameValueList Colors;
  // BSSID text of the interface's current connection; empty when it is not connected.
  std::string ConnectedBSSIDText;
  // The organisation of a BSSID; the vendor database by default. May throw: the record then gets an empty
  // vendor and the failure is reported once through OnVendorError.
  std::function<std::string(const std::array<uint8_t, 6>&)> VendorLookup;
  std::function<void(const std::string&)> OnVendorError;

  const TProgramOptions& Options() const { return *options_; }
  const std::filesystem::path& SettingsFolder() const { return settingsFolder_; }

  int Count() const { return static_cast<int>(Items.size()); }
  // Restarts the colour sequence and removes every network; the counters follow.
  void Clear();
  // Removes (and frees) the network at Index; the counters follow.
  void Delete(int index);

  // Holds a new BSS list (the service's block: 8-byte header, 360-byte entries, blobs) and merges it.
  void SetBssList(std::vector<uint8_t> block);
  bool HasBssList() const { return hasBssList_; }
  // Drops the held BSS list.
  void ReleaseBssList();
  // Asks the service for the interface's current BSS list: 0 with the block, or the service's error code.
  // Installed by the interface that owns the list.
  std::function<uint32_t(std::vector<uint8_t>&)> FetchBssList;
  // One refresh from the service at Now: drops the held list, fetches and merges a new one (no merge when the
  // fetch fails or none is installed), then UpdateStatuses and OnChange in every case.
  void Refresh(LocalDateTime now);
  // Merges the held BSS list again (after an options change); nothing without a list.
  void Merge();
  // Merges entries: each updates the record of its BSSID or creates one.
  void MergeEntries(std::span<const TBssEntryRef> entries);
  // Connected, active flags, one sample per network, counters.
  void UpdateStatuses(LocalDateTime time);
  // The counters of the networks as they are (after a load, a clear or a deletion between refreshes).
  void Recount();
  // The first network whose BSSID text is that of the entry's BSSID.
  TWLANNetwork* FindByBSSID(const WLAN_BSS_ENTRY& entry) const;
  // The colour a new network gets: the stored one for its BSSID text, else the generator's next.
  TColor DefaultColorFor(const TWLANNetwork& network);
  // Appends a network made elsewhere (a snapshot), taking ownership; Recount once the last is in.
  TWLANNetwork& Append(std::unique_ptr<TWLANNetwork> network);

  // Looks up the vendor of a record's BSSID; a failure gives "" and is reported once.
  std::string LookupVendor(const std::array<uint8_t, 6>& bssid);
  // Writes comments.txt and colors.txt now; returns an empty text or what went wrong.
  std::string SaveTextFiles() const;

 private:
  static uint64_t KeyOf(const std::array<uint8_t, 6>& bssid);
  void Reindex();

  const TProgramOptions* options_;
  // The first network of each BSSID, in list order.
  std::unordered_map<uint64_t, TWLANNetwork*> byBSSID_;
  std::filesystem::path settingsFolder_;
  std::vector<uint8_t> bssList_;
  bool hasBssList_ = false;
  bool vendorErrorReported_ = false;
};

}  // namespace skimlet
