// WlanService: the program's client of a wireless LAN service. One object is one client session. Backends
// (the Linux radio, the simulated radio) implement it; everything above reads the blocks of
// core/service/wlan_records.h that it returns.
//
// Every operation returns 0 on success and a system error code otherwise (WlanError). A failed call leaves
// its output block empty. Blocks are owned byte vectors: there is no release call.
//
// Threads: every operation is called from one thread (the window thread). The notification callback runs
// on a thread of the service; it must not touch model objects. After CloseHandle, or a registration with an
// empty callback, has returned, the previous callback is not running and is never called again.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "core/service/wlan_records.h"

namespace skimlet {

using WlanResult = uint32_t;

// The system error codes the backends return.
namespace WlanError {
constexpr WlanResult kSuccess = 0;
constexpr WlanResult kFileNotFound = 2;  // a program the service needs (a profile editor) is not installed
constexpr WlanResult kAccessDenied = 5;
constexpr WlanResult kInvalidHandle = 6;
constexpr WlanResult kNotEnoughMemory = 8;
constexpr WlanResult kNotSupported = 50;
constexpr WlanResult kInvalidParameter = 87;
constexpr WlanResult kBusy = 170;
constexpr WlanResult kAlreadyExists = 183;
constexpr WlanResult kNotFound = 1168;
constexpr WlanResult kServiceNotActive = 1062;  // the system's network service is not running
constexpr WlanResult kBadProfile = 1206;
constexpr WlanResult kTimeout = 1460;  // the service did not answer in time
constexpr WlanResult kInvalidState = 5023;
constexpr WlanResult kRadioOff = 0x80342002;  // the PHY's radio is switched off
}  // namespace WlanError

// Query and set opcodes.
enum WlanOpcode : uint32_t {
  kOpcodeAutoConfEnabled = 1,        // Boolean
  kOpcodeBackgroundScanEnabled = 2,  // Boolean
  kOpcodeMediaStreamingMode = 3,     // Boolean
  kOpcodeRadioState = 4,             // WLAN_RADIO_STATE; set: WLAN_PHY_RADIO_STATE
  kOpcodeInterfaceState = 6,         // unsigned 32-bit interface state
  kOpcodeCurrentConnection = 7,      // WLAN_CONNECTION_ATTRIBUTES
  kOpcodeChannelNumber = 8,          // unsigned 32-bit
  kOpcodeStatistics = 0x10000101,    // WLAN_STATISTICS
  kOpcodeRssi = 0x10000102,          // signed 32-bit
};

// Notification sources (bit masks) and the codes of the automatic configuration module.
constexpr uint32_t kNotificationSourceAll = 0xFFFF;
constexpr uint32_t kNotificationSourceACM = 8;
enum WlanAcmNotification : uint32_t {
  kAcmScanComplete = 7,
  kAcmScanFail = 8,
  kAcmConnectionStart = 9,
  kAcmConnectionComplete = 10,
  kAcmConnectionAttemptFail = 11,
  kAcmProfileChange = 15,
  kAcmProfileNameChange = 16,
  kAcmDisconnecting = 20,
  kAcmDisconnected = 21,
  kAcmScanListRefresh = 26,
};

struct WlanNotification {
  uint32_t NotificationSource = 0;
  uint32_t NotificationCode = 0;
  WLAN_GUID InterfaceGuid{};
  std::vector<uint8_t> Data;
};
using WlanNotificationCallback = std::function<void(const WlanNotification&)>;

// What the operating system knows an interface by, beside the service's GUID and description.
struct WlanInterfaceIdentity {
  std::string Name;                           // the kernel's name ("wlan0"); empty when there is none
  std::optional<std::array<uint8_t, 6>> Mac;  // the current hardware address
  std::optional<bool> Up;                     // administratively up; unknown when not told
  bool ScansRefused = false;                  // the last scan could not be started: the program lacks the permission
};

class WlanService {
 public:
  virtual ~WlanService() = default;

  // Opens the session; NegotiatedVersion receives the version the service speaks.
  virtual WlanResult OpenHandle(uint32_t clientVersion, uint32_t& negotiatedVersion) = 0;
  virtual WlanResult CloseHandle() = 0;
  // Sources: a mask (kNotificationSourceAll). An empty callback unregisters.
  virtual WlanResult RegisterNotification(uint32_t sources, bool ignoreDuplicate,
                                          WlanNotificationCallback callback) = 0;
  // WLAN_INTERFACE_INFO_LIST.
  virtual WlanResult EnumInterfaces(WlanBlock& interfaceList) = 0;
  // Returns at once; the service notifies kAcmScanComplete (or kAcmScanFail) later.
  virtual WlanResult Scan(const WLAN_GUID& interfaceGuid) = 0;
  // The BSS list block. Ssid: only BSSs of this SSID (null: all); BssType 1, 2 or 3 (any).
  virtual WlanResult GetNetworkBssList(const WLAN_GUID& interfaceGuid, const DOT11_SSID* ssid, uint32_t bssType,
                                       bool securityEnabled, WlanBlock& bssList) = 0;
  virtual WlanResult QueryInterface(const WLAN_GUID& interfaceGuid, uint32_t opcode, WlanBlock& data) = 0;
  virtual WlanResult SetInterface(const WLAN_GUID& interfaceGuid, uint32_t opcode, std::span<const uint8_t> data) = 0;
  // WLAN_INTERFACE_CAPABILITY.
  virtual WlanResult GetInterfaceCapability(const WLAN_GUID& interfaceGuid, WlanBlock& capability) = 0;
  // Starts a connection attempt; the result arrives as notifications and in the connection attributes.
  virtual WlanResult Connect(const WLAN_GUID& interfaceGuid, const WLAN_CONNECTION_PARAMETERS& parameters) = 0;
  virtual WlanResult Disconnect(const WLAN_GUID& interfaceGuid) = 0;
  // WLAN_PROFILE_INFO_LIST in priority order.
  virtual WlanResult GetProfileList(const WLAN_GUID& interfaceGuid, WlanBlock& profileList) = 0;
  // Profile names are UTF-8 texts of at most 255 UTF-16 code units (IsValidWlanName).
  virtual WlanResult DeleteProfile(const WLAN_GUID& interfaceGuid, std::string_view name) = 0;
  virtual WlanResult RenameProfile(const WLAN_GUID& interfaceGuid, std::string_view oldName,
                                   std::string_view newName) = 0;
  virtual WlanResult SetProfilePosition(const WLAN_GUID& interfaceGuid, std::string_view name, uint32_t position) = 0;
  // Runs the service's profile editor for Name modally. ReasonCode receives the editor's reason code.
  virtual WlanResult EditProfile(uint32_t clientVersion, std::string_view name, const WLAN_GUID& interfaceGuid,
                                 void* parentWindow, uint32_t firstPage, uint32_t& reasonCode) = 0;
  // The interface's identity as it is now; "not found" once the interface is gone. Services that have no such
  // thing return "not supported".
  virtual WlanResult QueryInterfaceIdentity(const WLAN_GUID& interfaceGuid, WlanInterfaceIdentity& identity);
};

// Turns the service's notifications into "scan results ready" for the window thread: a notification of the
// automatic configuration module with code 7 (scan complete) or 26 (scan list refreshed) calls the post
// function, which hands the news over to the window thread (a queued call, the CLI's loop); every other
// notification is ignored, and any failure inside is swallowed. Before Attach and after Detach nothing is
// posted, so the window can go away while the service is still running: Detach waits for a post in progress.
// A relay made with another filter passes on the notifications that filter accepts instead (the outcome of a
// connection attempt, for one).
class ScanNotificationRelay {
 public:
  using PostFunction = std::function<void()>;
  using Filter = bool (*)(const WlanNotification&);

  explicit ScanNotificationRelay(Filter accepts = IsScanResultNotification);
  void Attach(PostFunction post);
  void Detach() { Attach(nullptr); }
  // The callback to register with the service. It stays valid after the relay is destroyed.
  WlanNotificationCallback Callback() const;
  // True for the notifications that mean "scan results ready".
  static bool IsScanResultNotification(const WlanNotification& n);
  // True for the end of a connection attempt or of a connection: 10 (connection complete), 11 (attempt failed)
  // and 21 (disconnected) of the automatic configuration module.
  static bool IsConnectionOutcomeNotification(const WlanNotification& n);

 private:
  struct Shared {
    std::mutex Lock;
    PostFunction Post;
    Filter Accepts = nullptr;
  };
  std::shared_ptr<Shared> shared_;
};

}  // namespace skimlet
