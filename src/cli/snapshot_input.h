// Opening a saved survey (snapshot or capture) given on the command line as a network list, without writing
// anything.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/model/network_list.h"
#include "core/settings/options.h"

namespace skimlet::cli {

struct LoadedNetworks {
  TProgramOptions Options;
  std::unique_ptr<TWLANNetworkList> List;
  // When the snapshot was written, or the time of the capture's last frame.
  LocalDateTime SavedTime = 0;
  bool Capture = false;  // the file was a capture
  // False when a snapshot of an older writer did not say in which zone its times are: they are shown as
  // written.
  bool ZoneKnown = true;
};

// Reads FILE, a snapshot or a capture (told apart by content), into a network list; on failure Error says
// why, naming the file (nullptr list). FILE "-" is standard input; it and every other input that cannot seek
// (a pipe, a FIFO, /dev/fd/N) are read once as a stream: a capture as it arrives, a snapshot into memory up
// to a limit. Vendor names come
// from the vendor database; when it cannot be read a warning goes to stderr once and vendors stay empty.
std::unique_ptr<LoadedNetworks> LoadNetworks(const std::string& file, std::string& error);
// Several files as one survey: of each BSSID the record last heard wins, and its first and last seen span
// every file; the saved time is the latest. Standard input may be one of them, once.
std::unique_ptr<LoadedNetworks> LoadNetworks(const std::vector<std::string>& files, std::string& error);
// How a file is named in messages: "standard input" for "-".
std::string InputName(const std::string& file);

// Element tree vendor names from the vendor database; a missing database leaves them unnamed.
void InstallVendorNames();

}  // namespace skimlet::cli
