// Channel advice: per band and width, a cost for every candidate primary channel (channel_plan.h) from what a
// log of refreshes heard and measured (air_log.h), the candidates ranked by it, and for each recommendation
// the networks and measurements that make up its cost. The window, the command line and the report all
// call AdviseChannels, so they give the same advice for the same input.
//
// The cost of candidate c, a block of 20 MHz member channels s with primary p, in mW at the receiver:
//
//   Total(c) = sum over networks n that are not ours:  P(n) * H(n) * L(n) * O(n, c)
//            + sum over surveyed members s of c:       g(s) * (E(s) + B(s) * Pbusy)
//
//   P(n)    its mean signal in mW over the refreshes that heard it
//   H(n)    the share of the log's refreshes that heard it
//   L(n)    0.5 + u/100 with u the mean channel utilisation (percent) of its BSS Load element; 1 without one
//   O(n, c) how much of its occupied bandwidth overlaps the candidate: the mean over its 20 MHz pieces k of
//           max over members s of g(s) * w(|f(k) - f(s)|), frequencies of the 20 MHz centres in MHz
//   g(s)    1 for the primary channel, 0.5 for the other members
//   w(d)    5 and 6 GHz: the overlap of two 20 MHz channels d MHz apart, max(0, 1 - d/20);
//           2.4 GHz: the adjacent-channel weights 1, 0.85, 0.55, 0.25, 0 at d = 0, 5, 10, 15, 20 MHz and
//           beyond, in straight lines between
//   E(s)    the noise measured on s above the band's quietest surveyed channel, in mW
//   B(s)    the share of s's active time the medium was busy with others: (busy - tx) / (active - tx)
//   Pbusy   10^(-62/10) mW: a channel busy all the time costs like a network heard there at the -62 dBm
//           energy-detection level
//
// Networks are ours when they are, or share the SSID of, a network the interface was connected to, or
// carry an SSID the request names. Score(c) = 10 * log10(Pfloor + Total(c)) dBm with Pfloor = -100 dBm:
// lower is better. Candidates are ranked by (Pfloor + Total) * bias, bias 2 (3 dB) for 6 GHz primaries that
// are no preferred scanning channel, else 1; ties go to the lower primary channel, then the lower block.
// Excluded candidates (DFS when asked) keep their scores but no rank.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/channels/air_log.h"
#include "core/channels/channel_plan.h"

namespace skimlet {

inline constexpr double kAdviceFloorDbm = -100;
inline constexpr double kAdviceBusyDbm = -62;
inline constexpr double kAdviceSecondaryWeight = 0.5;
inline constexpr double kAdviceNonPreferredBias = 2;

struct TAdviceRequest {
  std::vector<int> Bands;         // 0, 1, 2; empty: all three
  std::vector<int> Widths;        // MHz; empty: every width of the band
  std::vector<std::string> Mine;  // SSIDs of our own networks
  bool ExcludeDfs = false;
  std::optional<std::string> Country;  // decides channels 12 and 13; without one the country most announced
};

// One part of a candidate's cost.
struct TCostTerm {
  enum class TKind { Network, Busy, Noise };
  TKind Kind = TKind::Network;
  double Milliwatts = 0;
  double Share = 0;  // of the candidate's Total, 0..1
  // Network: who, where, how strong, how much of it overlaps and the factors it came with.
  std::string BSSID, SSID;
  uint32_t Channel = 0;      // Network: its primary channel; Busy, Noise: the member channel measured
  uint32_t WidthMHz = 0;     // of each segment
  bool TwoSegments = false;  // an 80+80 MHz channel
  double SignalDbm = 0;      // mean signal (power average) over the refreshes that heard it
  double Overlap = 0;        // O(n, c)
  double Presence = 0;       // H(n)
  double LoadFactor = 1;     // L(n)
  std::optional<double> UtilizationPercent;
  // Busy: the share; Noise: the noise and the band's quietest noise.
  double BusyShare = 0;
  double NoiseDbm = 0, FloorDbm = 0;
};

struct TChannelScore {
  TChannelCandidate Candidate;
  int Networks = 0;                    // networks not ours that overlap it (O > 0)
  std::optional<double> StrongestDbm;  // the strongest of them (mean signal)
  double NetworkMilliwatts = 0;        // the network part of Total: the overlap-weighted load
  double SurveyMilliwatts = 0;         // the survey part of Total
  std::optional<double> BusyShare;     // weighted mean over its surveyed members (weights g)
  std::optional<double> NoiseDbm;      // mean noise of its surveyed members
  double TotalMilliwatts = 0;
  double ScoreDbm = kAdviceFloorDbm;
  bool Excluded = false;
  int Rank = 0;  // 1 = best; 0 when excluded
};

struct TBandWidthAdvice {
  int Band = 0;
  int WidthMHz = 20;
  std::vector<TChannelScore> Channels;  // in the order of CandidateChannels
  int Best = -1;                        // index into Channels of rank 1; -1 when every candidate is excluded
  std::vector<TCostTerm> Costs;         // what costs the best candidate, largest first
};

struct TChannelAdvice {
  int Refreshes = 0;
  std::string Country;                  // the country the 2.4 GHz set was chosen for; empty: not known
  bool Channel13 = false;               // 1/5/9/13 offered besides 1/6/11
  std::vector<std::string> OwnSSIDs;    // the SSIDs counted as ours, sorted
  int OwnNetworks = 0;                  // networks left out as ours
  std::vector<TBandWidthAdvice> Items;  // band by band, widths ascending
};

TChannelAdvice AdviseChannels(const TChannelAirLog& log, const TAdviceRequest& request);

// Every network and measurement that costs Candidate, largest first (ties by kind, then BSSID, then
// channel), with its share of the candidate's Total.
std::vector<TCostTerm> ExplainChannel(const TChannelAirLog& log, const TAdviceRequest& request,
                                      const TChannelCandidate& candidate);

// The adjacent-channel weight w(d) of Band for 20 MHz channels D MHz apart.
double ChannelOverlapWeight(int band, double distanceMHz);

}  // namespace skimlet
