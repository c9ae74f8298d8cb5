// skimlet-cli channels: which channel costs least per band and width, and what costs it, from saved surveys
// or from several refreshes of a live scan. The advice itself is core/channels (the window's rule too).
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/display_width.h"
#include "cli/live_session.h"
#include "cli/network_output.h"
#include "cli/snapshot_input.h"
#include "cli/standard_output.h"
#include "core/base/safe_text.h"
#include "core/channels/advice.h"
#include "core/channels/from_networks.h"

namespace skimlet::cli {

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli channels [OPTIONS] [--] [FILE...]\n"
    "       skimlet-cli channels [OPTIONS] [--service S] [--interface N|NAME] [--count K]\n"
    "\n"
    "Ranks the channels of each band and width by what the air costs on them: the networks heard there\n"
    "(signal in mW, weighted by how much of their bandwidth overlaps the channel's, on 2.4 GHz with\n"
    "adjacent-channel weights), the load their BSS Load element announces, and the busy time and noise a channel\n"
    "survey measured. Your own networks do not count. Each recommendation lists what costs it; the formula is\n"
    "in skimlet-cli(1).\n"
    "\n"
    "With FILEs (snapshots or pcap/pcapng captures), each FILE counts as one refresh: give several surveys of\n"
    "the same place for steadier advice. Without FILEs the command scans K times with a wireless interface\n"
    "and advises from all refreshes.\n"
    "\n"
    "  --band B       2.4, 5 or 6: only that band (default: all three)\n"
    "  --width N      20, 40, 80, 160 or 320 MHz: only that width (default: every width the band has)\n"
    "  --mine SSID    a network of yours that does not count against a channel (repeat for several); the\n"
    "                 network the interface is connected to, and every network of its SSID, are yours anyway\n"
    "  --exclude-dfs  leave out 5 GHz channels that need radar detection (DFS, 52-144)\n"
    "  --table        per band and width the recommendation with its costs, then the channel table (the\n"
    "                 default; without --width the table of 20 MHz channels only)\n"
    "  --tsv          tab-separated: a header line, then one line per candidate channel of every band and width\n"
    "  --json         one JSON document with the recommendations, their costs and every candidate\n"
    "  --service S    sim, sim:FILE.scene, replay:FILE.snapshot or linux (see 'skimlet-cli scan --help')\n"
    "  --interface I  the interface with index I or kernel name I; by default the first connected one\n"
    "  --count K      refreshes to scan without FILEs (default 3, 1 to 1000)\n"
    "  --            ends the options: what follows is a file, even when it starts with '-'\n"
    "\n"
    "Score: the total cost as a level in dBm, at least -100 (nothing heard); lower is better. Marks: DFS,\n"
    "PSC (a 6 GHz preferred scanning channel, preferred by 3 dB).\n";

constexpr double kGiveUpSeconds = 65;

int Usage(const std::string& message) { return UsageError("channels", message); }

enum class Output { Table, TSV, JSON };

struct Options {
  std::vector<int> Bands, Widths;
  std::vector<std::string> Mine;
  bool ExcludeDfs = false;
  Output Format = Output::Table;
  int Formats = 0;
  LiveSessionRequest Live{"channels", {}, {}};
  bool HaveService = false;
  std::optional<std::string> Interface;
  long Count = 3;
};

std::string Fixed(double value, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

std::string BandName(int band) { return band == 0 ? "2.4" : band == 1 ? "5" : "6"; }

std::string BlockText(const TChannelCandidate& c) {
  if (c.Members == 1) return std::to_string(c.FirstChannel);
  return std::to_string(c.FirstChannel) + "-" + std::to_string(c.MemberChannel(c.Members - 1));
}

std::string Marks(const TChannelCandidate& c) {
  std::string m;
  if (c.Dfs) m = "DFS";
  if (c.Preferred) m += m.empty() ? "PSC" : " PSC";
  return m;
}

std::string LevelText(double milliwatts) {
  return milliwatts > 0 ? Fixed(10 * std::log10(milliwatts), 1) : std::string();
}

std::string Terminal(const std::string& s) { return SafeText(s, SafeTextStyle::Terminal); }

// One line about a cost term, for people.
std::string CostText(const TCostTerm& t, int refreshes) {
  switch (t.Kind) {
    case TCostTerm::TKind::Busy:
      return "busy " + Fixed(100 * t.BusyShare, 0) + "% of the time on channel " + std::to_string(t.Channel) +
             " (survey)";
    case TCostTerm::TKind::Noise:
      return "noise " + Fixed(t.NoiseDbm, 0) + " dBm on channel " + std::to_string(t.Channel) + ", " +
             Fixed(t.NoiseDbm - t.FloorDbm, 0) + " dB above the band's quietest (survey)";
    case TCostTerm::TKind::Network: break;
  }
  const std::string width = t.TwoSegments ? std::string("80+80") : std::to_string(t.WidthMHz);
  std::string s = (t.SSID.empty() ? std::string("(hidden)") : "\"" + Terminal(t.SSID) + "\"") + " " + t.BSSID + " on " +
                  std::to_string(t.Channel) + " (" + width + " MHz), " + Fixed(t.SignalDbm, 0) + " dBm, overlap " +
                  Fixed(t.Overlap, 2);
  if (refreshes > 1) s += ", heard " + Fixed(100 * t.Presence, 0) + "%";
  if (t.UtilizationPercent) s += ", load " + Fixed(*t.UtilizationPercent, 0) + "%";
  return s;
}

std::string Pad(const std::string& text, size_t width, bool right) {
  const size_t w = DisplayWidth(text);
  const std::string fill(w < width ? width - w : 0, ' ');
  return right ? fill + text : text + fill;
}

std::string TableText(const TChannelAdvice& advice, const Options& o) {
  std::string out = "Channel advice from " + std::to_string(advice.Refreshes) +
                    (advice.Refreshes == 1 ? " refresh" : " refreshes") + "; country " +
                    (advice.Country.empty() ? std::string("not announced") : Terminal(advice.Country)) +
                    " (2.4 GHz: " + (advice.Channel13 ? "1/6/11 and 1/5/9/13" : "1/6/11") + ")\n";
  if (!advice.OwnSSIDs.empty()) {
    std::string names;
    for (const auto& s : advice.OwnSSIDs) names += (names.empty() ? "\"" : ", \"") + Terminal(s) + "\"";
    out += "Yours, not counted: " + names + " (" + std::to_string(advice.OwnNetworks) + " networks)\n";
  }
  constexpr size_t kShownCosts = 8;
  for (const TBandWidthAdvice& item : advice.Items) {
    out += "\n" + BandName(item.Band) + " GHz, " + std::to_string(item.WidthMHz) + " MHz: ";
    if (item.Best < 0) {
      out += "no channel left\n";
      continue;
    }
    const TChannelScore& best = item.Channels[static_cast<size_t>(item.Best)];
    out += "channel " + std::to_string(best.Candidate.Channel);
    if (best.Candidate.Members > 1) out += " (" + BlockText(best.Candidate) + ")";
    if (const std::string m = Marks(best.Candidate); !m.empty()) out += " " + m;
    out += ", score " + Fixed(best.ScoreDbm, 1) + " dBm\n";
    if (item.Costs.empty()) out += "  nothing costs it\n";
    for (size_t k = 0; k < item.Costs.size() && k < kShownCosts; ++k)
      out += "  " + Pad(Fixed(100 * item.Costs[k].Share, 1) + "%", 6, true) + "  " +
             CostText(item.Costs[k], advice.Refreshes) + "\n";
    if (item.Costs.size() > kShownCosts) {
      double rest = 0;
      for (size_t k = kShownCosts; k < item.Costs.size(); ++k) rest += item.Costs[k].Share;
      out += "  " + Pad(Fixed(100 * rest, 1) + "%", 6, true) + "  " + std::to_string(item.Costs.size() - kShownCosts) +
             " more\n";
    }
    const bool table = o.Widths.empty() ? item.WidthMHz == 20 : true;
    if (!table) continue;
    std::vector<std::vector<std::string>> rows = {
        {"Channel", "Block", "Networks", "Strongest", "Load dBm", "Busy", "Noise", "Marks", "Score", "Rank"}};
    for (const TChannelScore& s : item.Channels) {
      if (s.Excluded) continue;
      rows.push_back({std::to_string(s.Candidate.Channel), BlockText(s.Candidate), std::to_string(s.Networks),
                      s.StrongestDbm ? Fixed(*s.StrongestDbm, 0) : "", LevelText(s.NetworkMilliwatts),
                      s.BusyShare ? Fixed(100 * *s.BusyShare, 0) + "%" : "", s.NoiseDbm ? Fixed(*s.NoiseDbm, 0) : "",
                      Marks(s.Candidate), Fixed(s.ScoreDbm, 1), std::to_string(s.Rank)});
    }
    std::vector<size_t> widths(rows.front().size(), 0);
    for (const auto& r : rows)
      for (size_t c = 0; c < r.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(r[c]));
    for (const auto& r : rows) {
      std::string line = " ";
      for (size_t c = 0; c < r.size(); ++c) line += " " + Pad(r[c], widths[c], c != 1 && c != 7);
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
  }
  return out;
}

std::string TsvText(const TChannelAdvice& advice) {
  std::string out =
      "band\twidth\tchannel\tfirst\tlast\tcenter\tnetworks\tstrongest\tload_dbm\tbusy\tnoise\tdfs\tpsc\texcluded\t"
      "score\trank\trecommended\n";
  for (const TBandWidthAdvice& item : advice.Items)
    for (size_t i = 0; i < item.Channels.size(); ++i) {
      const TChannelScore& s = item.Channels[i];
      const TChannelCandidate& c = s.Candidate;
      out += BandName(item.Band) + "\t" + std::to_string(item.WidthMHz) + "\t" + std::to_string(c.Channel) + "\t" +
             std::to_string(c.FirstChannel) + "\t" + std::to_string(c.MemberChannel(c.Members - 1)) + "\t" +
             std::to_string(c.CenterChannel()) + "\t" + std::to_string(s.Networks) + "\t" +
             (s.StrongestDbm ? Fixed(*s.StrongestDbm, 1) : "") + "\t" + LevelText(s.NetworkMilliwatts) + "\t" +
             (s.BusyShare ? Fixed(*s.BusyShare, 3) : "") + "\t" + (s.NoiseDbm ? Fixed(*s.NoiseDbm, 1) : "") + "\t" +
             (c.Dfs ? "yes" : "no") + "\t" + (c.Preferred ? "yes" : "no") + "\t" + (s.Excluded ? "yes" : "no") + "\t" +
             Fixed(s.ScoreDbm, 2) + "\t" + (s.Rank > 0 ? std::to_string(s.Rank) : "") + "\t" +
             (static_cast<int>(i) == item.Best ? "yes" : "no") + "\n";
    }
  return out;
}

std::string JsonNumber(double v, int decimals) { return std::isfinite(v) ? Fixed(v, decimals) : "null"; }

template <class T>
std::string JsonOptional(const std::optional<T>& v, int decimals) {
  return v ? JsonNumber(*v, decimals) : "null";
}

std::string ChannelJson(const TChannelScore& s) {
  const TChannelCandidate& c = s.Candidate;
  return "{\"channel\": " + std::to_string(c.Channel) + ", \"first\": " + std::to_string(c.FirstChannel) +
         ", \"last\": " + std::to_string(c.MemberChannel(c.Members - 1)) +
         ", \"center\": " + std::to_string(c.CenterChannel()) + ", \"networks\": " + std::to_string(s.Networks) +
         ", \"strongestDbm\": " + JsonOptional(s.StrongestDbm, 1) +
         ", \"networkMw\": " + JsonNumber(s.NetworkMilliwatts, 15) +
         ", \"surveyMw\": " + JsonNumber(s.SurveyMilliwatts, 15) + ", \"busy\": " + JsonOptional(s.BusyShare, 4) +
         ", \"noiseDbm\": " + JsonOptional(s.NoiseDbm, 1) + ", \"dfs\": " + (c.Dfs ? "true" : "false") +
         ", \"psc\": " + (c.Preferred ? "true" : "false") + ", \"excluded\": " + (s.Excluded ? "true" : "false") +
         ", \"scoreDbm\": " + JsonNumber(s.ScoreDbm, 2) +
         ", \"rank\": " + (s.Rank > 0 ? std::to_string(s.Rank) : "null") + "}";
}

std::string CostJson(const TCostTerm& t) {
  std::string s = "{\"kind\": ";
  switch (t.Kind) {
    case TCostTerm::TKind::Network:
      s += "\"network\", \"bssid\": " + JsonString(t.BSSID) + ", \"ssid\": " + JsonString(t.SSID) +
           ", \"channel\": " + std::to_string(t.Channel) +
           ", \"width\": " + (t.TwoSegments ? std::string("\"80+80\"") : std::to_string(t.WidthMHz)) +
           ", \"signalDbm\": " + JsonNumber(t.SignalDbm, 1) + ", \"overlap\": " + JsonNumber(t.Overlap, 4) +
           ", \"presence\": " + JsonNumber(t.Presence, 4) + ", \"loadFactor\": " + JsonNumber(t.LoadFactor, 4) +
           ", \"utilization\": " + JsonOptional(t.UtilizationPercent, 1);
      break;
    case TCostTerm::TKind::Busy:
      s += "\"busy\", \"channel\": " + std::to_string(t.Channel) + ", \"busy\": " + JsonNumber(t.BusyShare, 4);
      break;
    case TCostTerm::TKind::Noise:
      s += "\"noise\", \"channel\": " + std::to_string(t.Channel) + ", \"noiseDbm\": " + JsonNumber(t.NoiseDbm, 1) +
           ", \"quietestDbm\": " + JsonNumber(t.FloorDbm, 1);
      break;
  }
  return s + ", \"mw\": " + JsonNumber(t.Milliwatts, 15) + ", \"share\": " + JsonNumber(t.Share, 4) + "}";
}

std::string JsonText(const TChannelAdvice& advice) {
  std::string own;
  for (const auto& s : advice.OwnSSIDs) own += (own.empty() ? "" : ", ") + JsonString(s);
  std::string out = "{\"refreshes\": " + std::to_string(advice.Refreshes) +
                    ", \"country\": " + (advice.Country.empty() ? "null" : JsonString(advice.Country)) +
                    ", \"channel13\": " + (advice.Channel13 ? "true" : "false") + ", \"ownSsids\": [" + own +
                    "], \"ownNetworks\": " + std::to_string(advice.OwnNetworks) + ", \"advice\": [";
  for (size_t i = 0; i < advice.Items.size(); ++i) {
    const TBandWidthAdvice& item = advice.Items[i];
    out += std::string(i ? "," : "") + "\n  {\"band\": \"" + BandName(item.Band) +
           "\", \"width\": " + std::to_string(item.WidthMHz) + ", \"recommended\": " +
           (item.Best < 0 ? std::string("null") : ChannelJson(item.Channels[static_cast<size_t>(item.Best)])) +
           ",\n   \"costs\": [";
    for (size_t k = 0; k < item.Costs.size(); ++k) out += (k ? ", " : "") + CostJson(item.Costs[k]);
    out += "],\n   \"channels\": [";
    for (size_t k = 0; k < item.Channels.size(); ++k)
      out += (k ? ",\n     " : "\n     ") + ChannelJson(item.Channels[k]);
    out += "]}";
  }
  return out + "\n]}\n";
}

bool ParseWhole(const std::string& text, long& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// Reads the option at Args[I]; false when it is none of this command's.
bool TakeChannelsOption(const Args& args, size_t& i, Options& o, std::string& error) {
  const std::string& a = args[i];
  std::string value;
  if (a == "--exclude-dfs") {
    o.ExcludeDfs = true;
  } else if (a == "--tsv" || a == "--json" || a == "--table") {
    o.Format = a == "--tsv" ? Output::TSV : a == "--json" ? Output::JSON : Output::Table;
    ++o.Formats;
  } else if (TakeOption(args, i, "--band", value, error)) {
    if (!error.empty()) return true;
    const int band = value == "2.4" ? 0 : value == "5" ? 1 : value == "6" ? 2 : -1;
    if (band < 0) error = "--band wants 2.4, 5 or 6, not '" + value + "'";
    else o.Bands = {band};
  } else if (TakeOption(args, i, "--width", value, error)) {
    if (!error.empty()) return true;
    long width = 0;
    if (!ParseWhole(value, width) || (width != 20 && width != 40 && width != 80 && width != 160 && width != 320))
      error = "--width wants 20, 40, 80, 160 or 320, not '" + value + "'";
    else o.Widths = {static_cast<int>(width)};
  } else if (TakeOption(args, i, "--mine", value, error)) {
    if (error.empty() && value.empty()) error = "--mine needs an SSID";
    o.Mine.push_back(value);
  } else if (TakeOption(args, i, "--service", value, error)) {
    if (error.empty() && value.empty()) error = "--service needs a value";
    o.Live.Service = value;
    o.HaveService = true;
  } else if (TakeOption(args, i, "--interface", value, error)) {
    if (error.empty() && value.empty()) error = "--interface needs an index or a name";
    o.Interface = value;
  } else if (TakeOption(args, i, "--count", value, error)) {
    if (error.empty() && (!ParseWhole(value, o.Count) || o.Count < 1 || o.Count > 1000))
      error = "--count wants a number of refreshes from 1 to 1000, not '" + value + "'";
  } else if (TakeOption(args, i, "--sim-scan-seconds", value, error)) {  // for tests, as with scan
    double seconds = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (ec != std::errc() || end != value.data() + value.size() || seconds < 0 || seconds > 60)
      error = "bad --sim-scan-seconds '" + value + "'";
    else o.Live.SimScanSeconds = seconds;
  } else {
    return false;
  }
  return true;
}

// Each file one refresh. Status 0, or 1 with the reason on stderr.
int ReadFiles(const std::vector<std::string>& files, TChannelAirLog& log) {
  for (const std::string& file : files) {
    std::string error;
    auto loaded = LoadNetworks(file, error);
    if (!loaded) {
      std::fprintf(stderr, "skimlet-cli channels: %s\n", error.c_str());
      return 1;
    }
    log.AddRefresh(HeardNetworks(*loaded->List));
  }
  return 0;
}

// Count refreshes of the live radio. Status 0, or another with the reason on stderr.
int ReadLive(const Options& o, TChannelAirLog& log) {
  int status = 0;
  auto session = OpenLiveSession(o.Live, status);
  if (!session) return status;
  const int index = ChooseInterface(*session, o.Interface, status);
  if (index < 0) return status;
  TWLANInterfaces& set = *session->Interfaces;
  set.SetSelectedIndex(index);
  TWLANInterface& selected = *set.Selected();
  TUpdateCycle& cycle = *session->Cycle;
  selected.Networks->Clear();
  cycle.UpdateNow();
  selected.UpdateProperties();
  selected.UpdateConnection();

  using Clock = TScanResultsQueue::Clock;
  const auto giveUpAfter = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kGiveUpSeconds));
  Clock::time_point giveUp = Clock::now() + giveUpAfter;
  long refreshes = 0;
  cycle.Tick();
  while (refreshes < o.Count) {
    if (std::string why = LiveInterfaceProblem(*session, selected); !why.empty()) {
      std::fprintf(stderr, "skimlet-cli channels: %s\n", why.c_str());
      return 1;
    }
    if (Clock::now() >= giveUp) {
      std::fprintf(stderr, "skimlet-cli channels: no scan results arrived within %.0f seconds\n", kGiveUpSeconds);
      return 1;
    }
    const size_t posts = session->Queue.WaitAndTake(std::min(giveUp, Clock::now() + std::chrono::milliseconds(200)));
    for (size_t p = 0; p < posts && refreshes < o.Count; ++p) {
      cycle.ScanResultsReady();
      ++refreshes;
      const TWLANNetworkList& list = *selected.Networks;
      if (list.Items.empty() && IdentityOf(*session, selected).ScansRefused) {
        std::fprintf(stderr,
                     "skimlet-cli channels: the system does not permit this program to scan with %s, and no other "
                     "program's scan results are there (give it CAP_NET_ADMIN, run it as root, or let "
                     "NetworkManager scan)\n",
                     InterfaceLabel(*session, selected).c_str());
        return kExitScanNotPermitted;
      }
      log.AddRefresh(HeardNetworks(list));
    }
    if (posts > 0) {
      giveUp = Clock::now() + giveUpAfter;
      if (refreshes < o.Count) cycle.Tick();
    }
  }
  return 0;
}

}  // namespace

std::string ChannelsHelp() { return kUsage; }

int RunChannels(const Args& args) {
  Options o;
  std::vector<std::string> files;
  const CommandLine line = CommandLineOf("channels");
  if (auto status = ReadArguments(line, args, files, [&](const Args& args, size_t& i, std::string& error) {
        return TakeChannelsOption(args, i, o, error);
      }))
    return *status;
  if (o.Formats > 1) return Usage("--table, --tsv and --json exclude each other");
  if (!files.empty() && (o.HaveService || o.Interface)) return Usage("give FILEs or --service/--interface, not both");
  if (!o.Bands.empty() && !o.Widths.empty()) {
    const auto widths = BandWidths(o.Bands.front());
    if (std::find(widths.begin(), widths.end(), o.Widths.front()) == widths.end())
      return Usage("the " + BandName(o.Bands.front()) + " GHz band has no " + std::to_string(o.Widths.front()) +
                   " MHz channels");
  }

  TChannelAirLog log;
  if (int status = files.empty() ? ReadLive(o, log) : ReadFiles(files, log); status != 0) return status;

  TAdviceRequest request;
  request.Bands = o.Bands;
  request.Widths = o.Widths;
  request.Mine = o.Mine;
  request.ExcludeDfs = o.ExcludeDfs;
  const TChannelAdvice advice = AdviseChannels(log, request);
  const std::string out = o.Format == Output::JSON  ? JsonText(advice)
                          : o.Format == Output::TSV ? TsvText(advice)
                                                    : TableText(advice, o);
  return WriteStandardOutput(out) || ReaderGone() ? 0 : 1;
}

}  // namespace skimlet::cli
