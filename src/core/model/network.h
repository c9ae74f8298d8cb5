// TWLANNetwork: one BSS heard on one interface, identified by its BSSID text, with its last BSS entry, its
// decoded elements, its history series and every value derived from them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/base/datetime.h"
#include "core/graph/colors.h"
#include "core/graph/wifi_series.h"
#include "core/ie/elements.h"
#include "core/service/bss_entry.h"

namespace skimlet {

struct TProgramOptions;
class TWLANNetworkList;

// The security suites of one element (RSN, or the WPA vendor element).
struct TSecurityWPA {
  bool Present = false;
  uint32_t GroupCipher = 0;
  TByteDynamicArray PairwiseCiphers;
  TByteDynamicArray AKMSuites;
};

// A set of small numbers (PHY types 0..15, security kinds 0..7) as a bit set.
struct TSmallSet {
  uint16_t Bits = 0;
  bool Contains(int v) const { return v >= 0 && v < 16 && ((Bits >> v) & 1u) != 0; }
  void Add(int v) {
    if (v >= 0 && v < 16) Bits = static_cast<uint16_t>(Bits | (1u << v));
  }
  void Remove(int v) {
    if (v >= 0 && v < 16) Bits = static_cast<uint16_t>(Bits & ~(1u << v));
  }
  bool Empty() const { return Bits == 0; }
  bool operator==(const TSmallSet&) const = default;
};

// Security kinds.
enum : int {
  kSecurityOpen = 1,
  kSecurityWEP = 2,
  kSecurityWPA = 3,
  kSecurityWPA2 = 4,
  kSecurityWPA3 = 5,
  kSecurityOWE = 6,
};
inline constexpr int kSecurityKindLast = kSecurityOWE;

// Management frame protection as the RSN capabilities announce it.
enum : uint8_t { kPMFNo = 0, kPMFCapable = 1, kPMFRequired = 2 };
// Roaming aids a beacon announces, as bits: neighbour reports (802.11k), BSS transition management (802.11v)
// and fast transition through a mobility domain (802.11r).
enum : uint8_t { kRoaming11k = 1, kRoaming11v = 2, kRoaming11r = 4 };

// The BSSID as six upper-case hex bytes joined by "-": 00-1A-2B-3C-4D-5E.
std::string BSSIDToText(const std::array<uint8_t, 6>& bssid);

class TWLANNetwork : public TObjectWithSeriesOf<TWiFiSeries> {
 public:
  TWLANNetworkList* Owner = nullptr;  // the list holding the record; not owned
  std::string SSID;
  uint32_t BssType = 0;
  std::string BSSIDText;
  std::string Vendor;
  uint32_t LinkQuality = 0;
  uint8_t QualityClass = 0;
  int32_t RSSI = 0;
  uint32_t CenterFrequency = 0;  // kHz
  TSecurityWPA RSN;
  TSecurityWPA WPA;
  TDoubleDynamicArray Rates;  // Mbps, ascending, no two closer than 0.1
  TSmallSet PhyTypes;
  bool Connected = false;
  LocalDateTime FirstSeen = 0;
  LocalDateTime LastSeen = 0;
  bool Active = false;
  void* Row = nullptr;  // the view's row; opaque here
  bool Checked = false;
  int32_t ChannelUtilization = 0;
  uint8_t Band = 0;  // 0 = 2.4 GHz, 1 = 5 GHz, 2 = 6 GHz
  int32_t StationCount = 0;
  uint8_t ChannelWidth = 0;  // 0 = 20, 1 = 40, 2 = 80, 3 = 160, 4 = 80+80, 5 = 320 MHz
  uint32_t CenterChannel1 = 0;
  uint32_t Channel = 0;
  uint32_t CenterChannel0 = 0;
  uint32_t SecondaryChannel = 0;
  int32_t TxStreams = 0;
  int32_t RxStreams = 0;
  uint8_t WPSState = 0;  // 0 none, 1 not configured, 2 configured, 3 locked
  TInformationElements Elements;
  std::array<uint8_t, 6> BSSID{};
  bool Privacy = false;
  std::string DeviceModelName;
  std::string WPSVersion;
  std::string DeviceManufacturer;
  std::string DeviceModelNumber;
  std::string DeviceName;
  std::string CountryCode;
  double AchievableRate = 0;
  bool ShortGI20 = false;
  bool ShortGI80 = false;
  bool ShortGI160 = false;
  bool ShortGI40 = false;
  std::string Comment;
  double MaxRate = 0;
  double MinRate = 0;
  TSmallSet SecurityKinds;
  uint8_t PMF = kPMFNo;
  uint8_t Roaming = 0;  // kRoaming11k | kRoaming11v | kRoaming11r
  WLAN_BSS_ENTRY Entry;

  // Takes an entry and its blob (from the service's list or a snapshot) and recomputes every derived value.
  // A failing vendor lookup leaves Vendor empty and is reported through the owner (never thrown).
  void UpdateFromEntry(const WLAN_BSS_ENTRY& entry, Bytes blob);

  // Sets Active; an inactive network shows no link quality.
  void SetActive(bool value);
  TColor GetColor() const { return Series().Color; }
  // Sets the colour and records it in the owner's colour list.
  void SetColor(TColor color);
  // Sets the comment and records it in the owner's comment list (an empty comment removes the line).
  void SetComment(const std::string& text);
  // Appends one history sample taken at Time.
  void AddSample(LocalDateTime time);

  // SSID, or the BSSID text when the SSID is empty.
  std::string GetDisplayName() const;
  uint32_t GetWidthKHz() const;
  // The highest PHY type in PhyTypes, 0 when empty.
  int GetHighestPhyType() const;

  // Derivation steps, in the order UpdateFromEntry runs them.
  void DeriveWPS();
  void DeriveChannelAndWidth();
  void Derive6GHzChannel();  // part of DeriveChannelAndWidth in the 6 GHz band
  void DerivePhyTypes();
  void DeriveRates();  // also streams, MinRate, MaxRate and AchievableRate
  void DeriveSecurityKinds();
  void DeriveProtectionAndRoaming();  // PMF and Roaming
  // Index of the guard interval for HE rates: 0 with the short GI of the current width, else 1.
  int GIIndex() const;
  double ComputeAchievableRate() const;

  // Texts of the derived values.
  std::string ChannelText() const;
  std::string FrequencyText() const;
  std::string BandText() const;
  std::string WidthText() const;
  std::string PhyLettersText() const;
  std::string SecurityModeText() const;
  std::string CipherText() const;
  std::string AuthenticationText() const;
  std::string WPSStateText() const;
  std::string BssTypeText() const;
  std::string RatesText() const;
  std::string PMFText() const;
  std::string RoamingText() const;

  // The text of one of the columns of the network list (the column registry's, see core/model/columns.h).
  std::string GetColumnText(int column) const;

  // The options the derivations read: the owner's, or the defaults for a record without owner.
  const TProgramOptions& Options() const;

 private:
  void ApplyOperation(int type, uint32_t seg0, uint32_t seg1);
  // Whether the values derived from the elements are those of the current blob, frequency and capability.
  bool derived_ = false;
  void MergeRates(const TDoubleDynamicArray& rates);
};

// "%g" of a rate: 5.5, 54, 144.4.
std::string RateText(double value);

// The text of a first- or last-seen time: "HH:MM:SS" when it falls on the day of Now, else
// "YYYY-MM-DD HH:MM:SS"; empty for a time that is no date.
std::string SeenTimeText(LocalDateTime time, LocalDateTime now);
// The clock the first- and last-seen columns take "today" from; the system clock when unset (the default).
void SetSeenTimeClock(TClock clock);
// Now by that clock.
LocalDateTime SeenTimeNow();

// Case-insensitive comparison with ASCII case folding; other bytes compare by their unsigned value.
int CompareFoldedText(const std::string& a, const std::string& b);

// Number of columns of the network list, and the sort comparison of one column (negative, 0, positive) as the
// column registry gives it.
inline constexpr int NetworkColumnCount = 34;
int CompareNetworks(const TWLANNetwork& a, const TWLANNetwork& b, int column);

}  // namespace skimlet
