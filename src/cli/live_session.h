// A session with a wireless service for the commands that read the radio: the service chosen by --service (or
// the Linux radio), the interface set opened and enumerated, and the queue that receives "scan results
// ready" from the service's thread. Nothing is written: no settings, no comments or colours, no profiles.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "backends/select.h"
#include "core/settings/options.h"
#include "core/wlan/scan_results_queue.h"
#include "core/wlan/update_cycle.h"
#include "core/wlan/wlan_interface.h"

namespace skimlet::cli {

struct LiveSession {
  std::string Command;  // for messages: "scan", "interfaces"
  TProgramOptions Options;
  ServiceSelection Selection;
  TScanResultsQueue Queue;
  std::unique_ptr<TWLANInterfaces> Interfaces;  // goes before the service it uses
  std::unique_ptr<TUpdateCycle> Cycle;          // posts "scan results ready" to Queue; goes first

  ~LiveSession() {
    Cycle.reset();
    Interfaces.reset();
  }
};

struct LiveSessionRequest {
  std::string Command;                   // for messages: "scan", "interfaces"
  std::string Service;                   // empty: the Linux radio when the machine has Wi-Fi hardware, else an error
  std::optional<double> SimScanSeconds;  // a fixed scan time for the simulated radio
};

// Opens the session; on failure prints the reason on stderr and sets ExitStatus (1, or 2 for a malformed
// --service) and returns null. Without --service the Linux radio is used; a machine without Wi-Fi hardware is
// an error (status 1) that names --service sim.
std::unique_ptr<LiveSession> OpenLiveSession(const LiveSessionRequest& request, int& exitStatus);

// Exit status of a scan that the system did not permit and that heard nothing.
inline constexpr int kExitScanNotPermitted = 3;

// The interface Choice names: an index in the enumeration order of the service, or a kernel name ("wlan0").
// Without a choice the first connected interface, else the first. -1 (with the reason on stderr and
// ExitStatus set) when there is none such.
int ChooseInterface(LiveSession& session, const std::optional<std::string>& choice, int& exitStatus);
// The interface's identity (name, address, up); a default identity when the service has none.
WlanInterfaceIdentity IdentityOf(const LiveSession& session, const TWLANInterface& i);
// Why scanning with the interface cannot give results now (gone, down); empty when nothing is known against it.
std::string LiveInterfaceProblem(const LiveSession& session, const TWLANInterface& i);
// The name an interface goes by in messages: its kernel name, else its description.
std::string InterfaceLabel(const LiveSession& session, const TWLANInterface& i);
// {"index": ..., "name": ..., "description": ...} of the selected interface.
std::string InterfaceJsonSummary(const LiveSession& session, const TWLANInterface& i);

}  // namespace skimlet::cli
