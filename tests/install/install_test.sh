#!/usr/bin/env bash
# usage: install_test.sh CMAKE BUILD_DIR APP_ID
# Installs BUILD_DIR with "cmake --install" into a scratch prefix and checks the installed layout: the CLI
# finds vendors.db and the language files under <prefix>/share/skimlet, the desktop entry and the metainfo
# validate, the icons have their sizes, the manual pages format cleanly and the bash completion completes
# from the installed files.
set -euo pipefail
cmake=$1 build=$2 app_id=$3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/usr
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# Expect TEXT to contain NEEDLE.
expect_in() { [[ $2 == *"$3"* ]] || fail "$1: \"$3\" not in output:"$'\n'"$2"; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

# Programs alone in bin/, the shipped data in share/skimlet.
bin_files=$(cd "$prefix/bin" && ls | sort | tr '\n' ' ')
[[ $bin_files == "skimlet skimlet-cli " || $bin_files == "skimlet-cli " ]] || fail "bin/ holds: $bin_files"
for f in vendors.db languages/english.lng languages/deutsch.lng Default/options.xml Default/Report/report.template \
         Default/Report/summary.template Default/Report/networks.template Default/Report/graphs.template \
         Default/Report/network_details_list.template Default/Report/network_details.template scenes/default.scene; do
  [[ -s $prefix/share/skimlet/$f ]] || fail "share/skimlet/$f is missing"
done
# The help page of the window's Help menu lies with the documents, where the window looks for it.
[[ -s $prefix/share/doc/skimlet/help.html ]] || fail "share/doc/skimlet/help.html is missing"

# The installed CLI run from elsewhere, with a home of its own: nothing of the build tree is in reach.
cli=$prefix/bin/skimlet-cli
run() { (cd "$scratch" && HOME=$scratch XDG_CONFIG_HOME=$scratch/config "$cli" "$@"); }

out=$(run elements --hex "00 05 53 6B 69 6D 21 01 04 82 84 8B 96")
expect_in "elements --hex" "$out" $'  SSID: Skim!\t@0+7'
out=$(run --lang deutsch elements --hex "00 05 53 6B 69 6D 21 01 04 82 84 8B 96" --tsv)
expect_in "elements --hex --lang deutsch" "$out" $'\t0\t7\tSSID: Skim!'

# One beacon of a real access point (D-Link, 00-24-01-8D-C0-84, 4-byte GBK SSID, channel 6), written as a
# pcap of link type 105, converted to a snapshot and listed from it.
frame="
80000000ffffffffffff0024018dc0840024018dc08420a149b1bd0f0000
0000640031040004b2e2cad4010882848b960c1218240301063204304860
6c3308200102030405060733082105060708090a0b0504000300002a0100
2d1aee1117ff000000010000000000000000000000000c00000000003d16
060700000000000000000000000000000000000000007f0101dd180050f2
020101000003a4000027a4000042435e0062322f000b05000010127add1e
00904c33ee1117ff000000010000000000000000000000000c0000000000
dd1a00904c3406070000000000000000000000000000000000000000dd07
000c4307000000"
header="d4c3b2a1 02000400 00000000 00000000 ffff0000 69000000 518da84b 1fae0800 f7000000 f7000000"
hex_to_file() { local h=${1//[[:space:]]/}; printf "$(sed 's/../\\x&/g' <<<"$h")" >"$2"; }
hex_to_file "$header$frame" "$scratch/beacon.pcap"
run convert beacon.pcap -o beacon.snapshot >/dev/null
out=$(run --lang deutsch networks beacon.snapshot --table)
expect_in "networks --lang deutsch (table header)" "$(head -1 <<<"$out")" "Hersteller"
out=$(run --lang deutsch networks beacon.snapshot --tsv)
expect_in "networks --tsv (column names in every language)" "$(head -1 <<<"$out")" $'\tcomment\tvendor\t'
expect_in "networks (vendor from the installed vendors.db)" "$out" $'00-24-01-8D-C0-84\t\tD-Link Corporation\t'
# The picture comes from the helper program in libexec, which finds the installed data as well.
if [[ -x $prefix/libexec/skimlet/skimlet-cli-graph ]]; then
  err=$(run graph spectrum2 beacon.snapshot -o spectrum.png --size 320x160 2>&1 >/dev/null) || fail "graph: $err"
  [[ -z $err ]] || fail "graph wrote to standard error: $err"
  [[ $(head -c 8 "$scratch/spectrum.png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || fail "graph wrote no PNG"
  # The report: the installed templates, and its pictures beside it.
  err=$(run report beacon.snapshot -o "Site #2.htm" 2>&1 >/dev/null) || fail "report: $err"
  grep -q 'src="images%20Site%20%232/Spectrum2.png"' "$scratch/Site #2.htm" || fail "report links no spectrum picture"
  [[ -s "$scratch/images Site #2/Spectrum2.png" ]] || fail "report drew no spectrum picture"
fi

# Desktop entry, metainfo, icons.
desktop=$prefix/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$app_id.metainfo.xml" >"$scratch/appstream.log" ||
  { cat "$scratch/appstream.log" >&2; fail "appstreamcli validate"; }
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -s $prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no scalable icon $icon.svg"
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
  expect_in "icon $size" "$(file -b "$png")" "PNG image data, $size x $size"
done

# Manual pages: compressed, and groff has nothing to say about them.
for page in skimlet skimlet-cli; do
  gz=$prefix/share/man/man1/$page.1.gz
  warnings=$(gzip -dc "$gz" | LC_ALL=C.UTF-8 MANWIDTH=80 groff -man -Tutf8 -ww -z 2>&1) || fail "groff $page.1"
  [[ -z $warnings ]] || fail "$page.1: $warnings"
done

# Bash completion: commands, the shipped languages found from the installed program, --service values.
complete_line() {
  PATH=$prefix/bin:$PATH bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _skimlet_cli skimlet-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ \
    "$prefix/share/bash-completion/completions/skimlet-cli" "$@"
}
expect_in "completion of a command" "$(complete_line skimlet-cli ne)" "networks "
expect_in "completion of --lang" "$(complete_line skimlet-cli --lang de)" "deutsch "
expect_in "completion of --service" "$(complete_line skimlet-cli scan --service s)" "sim sim: "
expect_in "completion of scan's options" "$(complete_line skimlet-cli scan --c)" "--count "
expect_in "completion of report sections" "$(complete_line skimlet-cli report --sections summary,gr)" "summary,graphs"

((failures == 0)) || { echo "$failures check(s) failed" >&2; exit 1; }
echo "installed layout in $prefix: all checks passed"
