// Opening a saved survey (snapshot or capture) given on the command line as a network list, without writing
// anything.
#pragma once

#include <memory>
#include <string>

#include "core/model/network_list.h"
#include "core/settings/options.h"

namespace skimlet::cli {

struct LoadedNetworks {
  TProgramOptions Options;
  std::unique_ptr<TWLANNetworkList> List;
  // When the snapshot was written, or the time of the capture's last frame.
  LocalDateTime SavedTime = 0;
  bool Capture = false;  // the file was a capture
};

// Reads FILE, a snapshot or a capture (told apart by content), into a network list; on failure Error says why (nullptr list). Vendor names come from the
// vendor database; when it cannot be read a warning goes to stderr once and vendors stay empty.
std::unique_ptr<LoadedNetworks> LoadNetworks(const std::string& file, std::string& error);

// Element tree vendor names from the vendor database; a missing database leaves them unnamed.
void InstallVendorNames();

}  // namespace skimlet::cli
