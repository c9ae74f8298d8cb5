#!/usr/bin/env bash
# Times skimlet-cli against tshark on one generated capture of 100,000 beacons (1,000 access points, each
# beacon a dual-stream 802.11ax blob with RSN, HT, VHT, HE and WPS elements):
#   skimlet-cli networks FILE --tsv       decode every frame into networks and print them
#   tshark -r FILE -T fields -e ...       extract SSID, channel, RSN suites and HT/VHT widths per frame
# Usage: bench/core/capture/compare_tshark.sh [BUILD_DIR] [BEACONS] [ACCESS_POINTS]
# Needs the targets skimlet-cli, vendors_db and make_beacon_capture in BUILD_DIR (default: build), and tshark.
# With 100,000 beacons of 100,000 different access points the time goes into building 100,000 network
# records rather than into the capture: pass BEACONS and ACCESS_POINTS to measure that case.
set -euo pipefail
build=${1:-build}
beacons=${2:-100000}
aps=${3:-1000}
cli=$build/bin/skimlet-cli
gen=$build/bin/make_beacon_capture
for tool in "$cli" "$gen"; do
  [ -x "$tool" ] || { echo "missing $tool: cmake --build $build --target skimlet-cli vendors_db make_beacon_capture" >&2; exit 2; }
done
command -v tshark >/dev/null || { echo "tshark not installed" >&2; exit 2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
capture=$tmp/beacons.pcap
"$gen" "$capture" "$beacons" "$aps"
echo "capture: $beacons beacons from $aps access points, $(stat -c %s "$capture") bytes"

# Wall-clock seconds of a command, its output thrown away.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null 2> "$tmp/stderr"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }'
}

# Each twice; the faster run counts (the first warms the page cache).
best() { local a b; a=$(seconds "$@"); b=$(seconds "$@"); awk -v a="$a" -v b="$b" 'BEGIN { print (a < b ? a : b) }'; }

skimlet=$(best "$cli" networks "$capture" --tsv)
tshark=$(best tshark -r "$capture" -T fields -e wlan.bssid -e wlan.ssid -e wlan.ds.current_channel \
  -e wlan.rsn.gcs -e wlan.rsn.pcs -e wlan.rsn.akms -e wlan.ht.info.chanwidth -e wlan.vht.op.channelwidth \
  -e wlan.vht.op.channelcenter0)
rows=$("$cli" networks "$capture" --tsv | tail -n +2 | wc -l)
printf 'skimlet-cli networks --tsv: %.3f s (%d networks)\n' "$skimlet" "$rows"
printf 'tshark -T fields:           %.3f s\n' "$tshark"
awk -v s="$skimlet" -v t="$tshark" 'BEGIN { printf "ratio: skimlet-cli is %.1f times faster\n", t / s }'
