// A scene: what the simulated radio hears. It is read from a text file (the format is documented at the
// top of data/scenes/default.scene) or made from a saved snapshot (replay).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ie/encode.h"
#include "core/service/wlan_records.h"

namespace skimlet::sim {

enum class Security {
  Open,
  WEP,
  WPA,
  WPA2,
  WPAWPA2,
  WPA3,
  WPA2WPA3,
  OWE,
  WPAEnterprise,
  WPA2Enterprise,
  WPA3Enterprise,
};
// The scene file's word for a security ("wpa2-wpa3").
std::string_view SecurityWord(Security s);

// The amendment an access point speaks at most.
enum class Phy { B, A, G, N, AC, AX, BE };
std::string_view PhyWord(Phy p);
// The service's PHY type number of an amendment.
uint32_t PhyTypeOf(Phy p);

enum class HiddenSSID { No, Empty, Zeros };

struct VendorElement {
  uint32_t OUI = 0;
  uint8_t Subtype = 0;
  std::vector<uint8_t> Body;  // after OUI and subtype
};

struct WPSDescription {
  uint8_t State = 2;  // 1 not configured, 2 configured
  bool Locked = false;
  std::string DeviceName, Manufacturer, ModelName, ModelNumber;
};

struct SceneAccessPoint {
  int Line = 0;               // where it starts in the scene file (0: not from a file)
  std::vector<uint8_t> SSID;  // raw bytes, at most 32
  HiddenSSID Hidden = HiddenSSID::No;
  std::array<uint8_t, 6> BSSID{};
  bool AdHoc = false;
  uint8_t Channel = 1;    // primary channel
  bool Band6GHz = false;  // Channel numbers the 6 GHz band's plan
  int Width = 20;         // 20, 40, 80, 160, 320 (6 GHz), or 8080 for 80+80 MHz
  uint8_t Center2 = 0;    // 80+80: centre channel of the second segment
  Phy Standard = Phy::G;
  int Streams = 1;  // 1..4
  Security Sec = Security::Open;
  bool Roaming11k = false, Roaming11v = false, Roaming11r = false;  // neighbour reports, BSS transition, FT
  // A multi-link device: the BSSID of the other link's access point, which the beacon announces in its
  // reduced neighbor report; ParseScene fills in that link's channel.
  std::optional<std::array<uint8_t, 6>> Partner;
  uint8_t PartnerChannel = 0;
  bool PartnerBand6GHz = false;
  int Rssi = -60;  // dBm as heard by an interface without offset
  std::optional<CountryValues> Country;
  std::optional<std::pair<int, int>> Load;  // stations, utilization percent
  std::optional<WPSDescription> WPS;
  std::vector<VendorElement> Vendors;
  std::vector<std::vector<uint8_t>> Raw;  // appended to the blob as they are (malformed elements)
  uint16_t BeaconPeriod = 100;
  // The whole element blob as it is, instead of the elements the other values give (a real beacon's). The
  // SSID and PHY are then read from it.
  std::optional<std::vector<uint8_t>> Elements;
  std::optional<uint16_t> Capability;  // the capability field, instead of the one the values give
  double AppearOn = 0, AppearOff = 0;  // heard for On seconds, then gone for Off seconds; 0: always
  // Placed on a floor: heard by its distance and the walls in between (TrueSignal) instead of Rssi.
  std::optional<std::array<double, 2>> Position;  // metres
  double TxPower = 20;                            // dBm
  std::string Floor;                              // empty: the scene's first floor

  // Replay: the entry and blob are given and only the RSSI and link quality are kept from the entry.
  std::optional<WLAN_BSS_ENTRY> FixedEntry;
  std::vector<uint8_t> FixedBlob;

  bool Is24GHz() const { return !Band6GHz && Channel <= 14; }
  // The centre frequency of the primary channel in kHz.
  uint32_t FrequencyKHz() const;
};

struct SceneInterface {
  int Line = 0;
  std::string Description;         // "Simulated" is added in front when the text does not say it
  std::optional<WLAN_GUID> Guid;   // derived from the interface's position when absent
  std::vector<uint32_t> PhyTypes;  // one per PHY index
  bool Hears24GHz = true, Hears5GHz = true, Hears6GHz = true;
  bool HardwareRadioOn = true;
  int RssiOffset = 0;
  std::optional<std::array<uint8_t, 6>> ConnectedTo;  // BSSID of the network connected at start
  bool RandomWalk = true;                             // replayed scenes keep their saved signal
  std::string KernelName;                             // "sim0", "sim1", ... by position when absent
  std::optional<std::array<uint8_t, 6>> Mac;          // 02-00-00-00-1A-nn by position when absent
  bool Up = true;                                     // administratively up
  bool ScansRefused = false;                          // scans are not permitted: every scan hears nothing
  std::optional<std::array<double, 2>> Position;      // metres on the first floor; the survey moves it
};

struct SceneWall {
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // metres
  double Loss = 0;                        // dB
};

// A floor on which access points and the interface are placed.
struct SceneFloor {
  int Line = 0;
  std::string Name;
  double Width = 0, Height = 0;  // metres
  std::string Plan;              // image file, relative to the scene file's folder; empty: none
  std::vector<SceneWall> Walls;
  double PathLossExponent = 3;
  double Shadowing = 0;  // dB, standard deviation
  double Noise = -95;    // dBm
  uint64_t Seed = 1;
};

struct Scene {
  std::string Name;
  std::vector<SceneInterface> Interfaces;
  std::vector<SceneAccessPoint> AccessPoints;
  std::vector<SceneFloor> Floors;
  std::string Folder;  // of the scene file, for relative plan files; empty for a text
  // The floor of the name; empty: the first. Nullptr when there is none such.
  const SceneFloor* FindFloor(std::string_view name) const;
};

// The signal of a placed access point at (X, Y) on its floor, without the interface's offset and the
// scan-to-scan wander: TxPower minus the free-space loss at 1 m for its frequency (20·log10(f/MHz) − 27.55),
// minus 10·n·log10(d) (d at least 1 m), minus the loss of every wall the straight line crosses, plus the
// floor's shadowing: a fixed, smooth random field per access point (a sum of 48 plane waves of 2 to 8 m
// wavelength with seeded directions and phases) of standard deviation Shadowing.
double TrueSignal(const Scene& scene, size_t ap, double x, double y);
// True when the straight line between the two points crosses the wall.
bool Crosses(const SceneWall& wall, double x1, double y1, double x2, double y2);

struct SceneResult {
  std::optional<Scene> Value;
  std::string Error;  // "FILE:LINE: what is wrong" when Value is empty
};

// Parses scene text; FileName only names the file in error messages.
SceneResult ParseScene(std::string_view text, std::string_view fileName);
SceneResult ReadSceneFile(const std::string& path);
// A scene in which every record of a snapshot file is heard again with its saved signal.
SceneResult ReplaySnapshotScene(const std::string& snapshotPath);

// The beacon of an access point: its BSS entry and its element blob.
struct Beacon {
  WLAN_BSS_ENTRY Entry;
  std::vector<uint8_t> Blob;
};
// Builds the blob and reads the entry from it (ReadBeacon) for a signal of Rssi dBm heard by the PHY with
// index PhyIndex. A replayed access point keeps its entry and blob; only signal and link quality change.
Beacon BuildBeacon(const SceneAccessPoint& ap, int rssi, uint32_t phyIndex);
// The element blob the access point's values give, in beacon order.
std::vector<uint8_t> ElementsOf(const SceneAccessPoint& ap);
// The capability information field of the access point's beacons.
uint16_t CapabilityOf(const SceneAccessPoint& ap);
// The centre channel of the 40/80/160 MHz channel around a 5 GHz primary channel, or the primary channel.
uint8_t CenterChannel5GHz(uint8_t primary, int widthMHz);
// The same in the 6 GHz band (20 to 320 MHz; 320 MHz is the 320 MHz-1 channel around the primary).
uint8_t CenterChannel6GHz(uint8_t primary, int widthMHz);

}  // namespace skimlet::sim
