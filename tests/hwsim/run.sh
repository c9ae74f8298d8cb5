#!/usr/bin/env bash
# The Linux backend against the kernel's real wireless stack: boots the hwsim lab VM (simulated radios, one
# access point per lab config) with the lab's own scan switched off, and on its spare radio runs
#  - skimlet-wifi-probe (the backend alone: interface, PHY types, scan notification, BSS lines), then
#  - in_vm.sh: skimlet-cli interfaces and skimlet-cli scan --count 2, as root and then as an unprivileged user
#    who only reads what root's scan left,
# and checks the probe's BSS lines and, with check_lab.py, every access point the CLI listed against
# expected.tsv (SSID, channel, width, PHY modes, security texts, WPS state, country).
#
# usage: run.sh PROBE CLI WORKDIR
# Exit: 0 pass, 1 fail, 77 skipped (no lab, no qemu, no image, or over the time budget).
# Environment: SKIMLET_HWSIM_LAB (lab folder; else ../shared/tools/hwsim beside the checkout),
#              SKIMLET_HWSIM_BUDGET (seconds, default 240).
set -uo pipefail
PROBE=$1
CLI=$2
WORK=$3
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BUDGET=${SKIMLET_HWSIM_BUDGET:-240}

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

LAB=${SKIMLET_HWSIM_LAB:-}
if [ -z "$LAB" ]; then
  for c in "$HERE/../../../shared/tools/hwsim" "$HERE/../../../../shared/tools/hwsim"; do
    [ -f "$c/run-scan.sh" ] && { LAB=$(cd "$c" && pwd); break; }
  done
fi
[ -n "$LAB" ] && [ -f "$LAB/run-scan.sh" ] || skip "no hwsim lab (set SKIMLET_HWSIM_LAB)"
command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed"
command -v python3 >/dev/null || skip "python3 is not installed"

# A run takes about 30-40 s with software emulation (TCG) on this kind of machine, about 20 s with KVM;
# the image build adds about 10 s. Skip when that does not fit the budget.
if [ -w /dev/kvm ] && grep -qE '\b(vmx|svm)\b' /proc/cpuinfo; then estimate=40; else estimate=90; fi
[ "$estimate" -le "$BUDGET" ] || skip "a lab run needs about ${estimate}s, the budget is ${BUDGET}s"

mkdir -p "$WORK/build" "$WORK/cache" "$WORK/out" "$WORK/extra"
started=$(date +%s)
if [ ! -s "$WORK/build/vmlinuz" ] || [ ! -s "$WORK/build/initramfs.cpio.gz" ]; then
  BUILD="$WORK/build" CACHE="$WORK/cache" bash "$LAB/build-initramfs.sh" > "$WORK/build.log" 2>&1 ||
    skip "the lab image cannot be built (offline? see $WORK/build.log)"
fi
rm -rf "$WORK/extra"/* "$WORK/out"/*
# The CLI goes in alone, without its data folder: it must get by with what is built into it.
cp "$PROBE" "$WORK/extra/skimlet-wifi-probe"
cp "$CLI" "$WORK/extra/skimlet-cli"
cp "$HERE/in_vm.sh" "$WORK/extra/in_vm.sh"

left=$(( BUDGET - ($(date +%s) - started) ))
[ "$left" -gt 20 ] || skip "no time left for the VM after building its image"
vm_started=$(date +%s)
BUILD="$WORK/build" OUT="$WORK/out" SCAN=0 QUIET=1 TIMEOUT="$left" EXTRA_DIR="$WORK/extra" \
  EXTRA_CMD='./skimlet-wifi-probe $SCAN_IF > $OUT/probe.txt 2>&1; probe_rc=$?; sh ./in_vm.sh; exit $probe_rc' \
  bash "$LAB/run-scan.sh" > "$WORK/run.log" 2>&1
rc=$?
echo "VM run: $(( $(date +%s) - vm_started ))s (exit $rc); total $(( $(date +%s) - started ))s"
[ "$rc" = 124 ] && skip "the VM did not finish within the budget"
PROBE_OUT="$WORK/out/probe.txt"
[ -f "$PROBE_OUT" ] || { tail -20 "$WORK/run.log"; fail "the probe left no output"; }
cat "$PROBE_OUT"
[ "$rc" = 0 ] || fail "the lab run or the probe failed (exit $rc, see $WORK/run.log)"

# The probe: the backend's own view of the interface and the scan.
grep -q '^scan notification: yes code=7 ' "$PROBE_OUT" || fail "no scan-complete notification"
# hwsim radios offer both bands with HT, VHT and HE.
grep -q '^phy types: 4 5 6 7 8 10$' "$PROBE_OUT" || fail "wrong PHY types of the interface"
[ "$(grep -c '^BSS ' "$PROBE_OUT")" -ge 11 ] || fail "the probe listed fewer BSSs than the lab has visible access points"

# The CLI, as root and as an unprivileged user.
for f in "$WORK/out"/*-root.err "$WORK/out"/*-user.err; do
  [ -s "$f" ] && { echo "--- $(basename "$f")"; cat "$f"; }
done
python3 "$HERE/check_lab.py" "$HERE/expected.tsv" "$WORK/out" || fail "the CLI's lists do not match the lab"
echo "PASSED"
