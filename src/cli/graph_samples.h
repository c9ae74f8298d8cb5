// The network samples that 'skimlet-cli scan --graph' hands to its drawing program: lines of TAB-separated
// fields, so that the scanning side needs nothing of the drawing library.
//
//   skimlet-samples <TAB> 1
//   value <TAB> Q                   the quantity (0 signal, 1 quality, 2 rate, 3 utilisation, 4 clients)
//   window <TAB> MINUTES            the time window
//   now <TAB> T                     the end of the time window (local date-time as a day number)
//   network <TAB> BSSID <TAB> COLOUR <TAB> NAME-HEX
//   sample <TAB> T <TAB> ACTIVE <TAB> QUALITY <TAB> RSSI <TAB> RATE <TAB> UTILISATION <TAB> CLIENTS
//
// A sample belongs to the network line above it. The name is hex so that no byte of an SSID can break a line.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/base/datetime.h"

namespace skimlet {
class TWLANNetwork;
class TWLANNetworkList;
}  // namespace skimlet

namespace skimlet::cli {

struct TGraphSamplesHeader {
  int Value = 0;
  int WindowMinutes = 5;
  LocalDateTime Now = 0;
};

// The samples of the networks of List (those Keep passes, when it is set).
std::string WriteGraphSamples(const TWLANNetworkList& list, const TGraphSamplesHeader& header,
                              const std::function<bool(const TWLANNetwork&)>& keep = {});

// Appends the networks of Text to List, each with its samples; false with Error for text that is not in the
// format (nothing is trusted: counts, numbers and hex are checked).
bool ReadGraphSamples(std::string_view text, TWLANNetworkList& list, TGraphSamplesHeader& header, std::string& error);

}  // namespace skimlet::cli
