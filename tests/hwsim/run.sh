#!/usr/bin/env bash
# The Linux backend against the kernel's real wireless stack. Boots a VM with Debian's kernel, whose
# mac80211_hwsim radios carry one hostapd access point per configuration in conf/, and on the spare radio
# runs in_vm.sh:
#  - skimlet-wifi-probe (the backend alone: interface, PHY types, scan notification, BSS lines), then
#  - skimlet-cli interfaces and skimlet-cli scan --count 2, as root and then as an unprivileged user who
#    only reads what root's scan left,
# and checks the probe's lines and, with check_lab.py, every access point the CLI listed against
# expected.tsv (SSID, channel, width, PHY modes, security texts, WPS state, country).
# Then NetworkManager starts in the VM (nm/: its configuration, the system bus's, two stored profiles of the
# WPA2 access point) and skimlet-nm-probe drives the backend's profile, connect and disconnect calls; its
# results stay in WORKDIR/out for `check_lab.py --nm` (the ctest hwsim_linux_nm), run.sh only shows them.
#
# The VM image is built by image.sh from Debian packages into WORKDIR/image (downloads cached in
# WORKDIR/cache) and rebuilt when image.sh or guest_init.sh change.
#
# usage: run.sh PROBE CLI WORKDIR [NM_PROBE]
# Exit: 0 pass, 1 fail, 77 skipped (no qemu, no packages for the image, or not enough time).
# Environment: SKIMLET_HWSIM_BUDGET (seconds for the VM run, default 300),
#              SKIMLET_HWSIM_IMAGE_BUDGET (seconds for building the image when it must be, default 600).
set -uo pipefail
PROBE=$1
CLI=$2
WORK=$3
NM_PROBE=${4:-}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BUDGET=${SKIMLET_HWSIM_BUDGET:-300}
IMAGE_BUDGET=${SKIMLET_HWSIM_IMAGE_BUDGET:-600}

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
# A run that ends early leaves no results of an earlier one behind for the NetworkManager check.
rm -rf "$WORK/out"

command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed (make deps)"
command -v python3 >/dev/null || skip "python3 is not installed"

# KVM only where the CPU shows its virtualisation flags: on hosts that pass /dev/kvm through without
# nested virtualisation a KVM guest hangs silently.
if [ -r /dev/kvm ] && [ -w /dev/kvm ] && grep -qwE 'vmx|svm' /proc/cpuinfo; then
  ACCEL=(-accel kvm -cpu host); estimate=30
else
  ACCEL=(-accel tcg,thread=multi -cpu max); estimate=75
fi
[ "$estimate" -le "$BUDGET" ] || skip "a VM run needs about ${estimate}s, the budget is ${BUDGET}s"

# --- The image ---------------------------------------------------------------------------------------------
IMAGE=$WORK/image
mkdir -p "$IMAGE" "$WORK/cache"
stamp=$(cat "$HERE/image.sh" "$HERE/guest_init.sh" | sha256sum | cut -d' ' -f1)
if [ "$(cat "$IMAGE/stamp" 2>/dev/null)" != "$stamp" ] || [ ! -s "$IMAGE/vmlinuz" ] || [ ! -s "$IMAGE/initramfs.cpio.gz" ]; then
  rm -f "$IMAGE/stamp"
  built=$(date +%s)
  timeout -k 10 "$IMAGE_BUDGET" bash "$HERE/image.sh" "$IMAGE" "$WORK/cache" > "$WORK/image.log" 2>&1
  rc=$?
  cat "$WORK/image.log"
  case $rc in
    0) echo "$stamp" > "$IMAGE/stamp.tmp" && mv "$IMAGE/stamp.tmp" "$IMAGE/stamp"
       echo "image built in $(( $(date +%s) - built ))s" ;;
    77) skip "the VM image cannot be built here: $(sed -n 's/^\[image\] UNAVAILABLE: //p' "$WORK/image.log" | tail -1)" ;;
    124|137) skip "building the VM image took longer than ${IMAGE_BUDGET}s (SKIMLET_HWSIM_IMAGE_BUDGET)" ;;
    *) fail "image.sh failed (exit $rc)" ;;
  esac
fi

# --- What is appended at boot: configurations, settings, the programs under test and their libraries ------
STAGE=$WORK/stage
rm -rf "$STAGE" "$WORK/out"
mkdir -p "$STAGE/etc/hostapd" "$STAGE/extra" "$WORK/out"
cp "$HERE"/conf/*.conf "$STAGE/etc/hostapd/"
# NetworkManager reads only keyfiles that root owns and no one else may read.
install -D -m 644 "$HERE/nm/NetworkManager.conf" "$STAGE/etc/NetworkManager/NetworkManager.conf"
install -D -m 644 "$HERE/nm/system-bus.conf" "$STAGE/etc/dbus-1/lab-system.conf"
mkdir -p "$STAGE/etc/NetworkManager/system-connections"
for f in "$HERE"/nm/*.nmconnection; do install -m 600 "$f" "$STAGE/etc/NetworkManager/system-connections/"; done
# Half the budget for in_vm.sh (it needs about 25 s, 50 s with the NetworkManager part): a hanging program
# fails the test before the VM's own time runs out, which would only skip it.
printf 'TEST_TIMEOUT=%s\n' "$(( BUDGET / 2 ))" > "$STAGE/etc/vm.env"
# The CLI goes in alone, without its data folder: it must get by with what is built into it. Debug
# information is dropped: it is most of the binaries' size and would only slow the boot.
PROGS=("$PROBE:skimlet-wifi-probe" "$CLI:skimlet-cli")
[ -n "$NM_PROBE" ] && PROGS+=("$NM_PROBE:skimlet-nm-probe")
for prog in "${PROGS[@]}"; do
  strip --strip-debug -o "$STAGE/extra/${prog#*:}" "${prog%%:*}" 2>/dev/null || cp "${prog%%:*}" "$STAGE/extra/${prog#*:}"
done
cp "$HERE/in_vm.sh" "$STAGE/extra/in_vm.sh"
# Same libraries as on this host (Debian 12, like the image), at the same paths; they replace the image's.
for f in "${PROGS[@]#*:}"; do
  f=$STAGE/extra/$f
  libs=$(ldd "$f") || fail "ldd $f failed"
  grep -q 'not found' <<<"$libs" && fail "libraries of $(basename "$f") are missing: $(grep 'not found' <<<"$libs")"
  for lib in $(awk '$2 == "=>" && $3 ~ /^\// {print $3} $1 ~ /^\// {print $1}' <<<"$libs"); do
    [ -e "$STAGE$lib" ] || install -D -m 755 "$(readlink -f "$lib")" "$STAGE$lib"
  done
done
INITRD=$WORK/initrd
cp "$IMAGE/initramfs.cpio.gz" "$INITRD"
# The kernel unpacks the archives one after the other, later entries replacing earlier ones.
head -c $(( (4 - $(stat -c %s "$INITRD") % 4) % 4 )) /dev/zero >> "$INITRD"
(cd "$STAGE" && find . -mindepth 1 | LC_ALL=C sort | cpio -o -H newc -R 0:0 --quiet | gzip -1) >> "$INITRD"

# The uncompressed kernel where there is one: qemu starts it directly (PVH) instead of letting the bzImage
# unpack itself, which is slow under emulation.
KERNEL=$IMAGE/vmlinuz
[ -s "$IMAGE/vmlinux" ] && KERNEL=$IMAGE/vmlinux

# --- The run ---------------------------------------------------------------------------------------------------
started=$(date +%s)
timeout -k 10 "$BUDGET" qemu-system-x86_64 "${ACCEL[@]}" -m 768 -smp 2 -nodefaults -no-reboot \
  -display none -nic none -serial "file:$WORK/console.log" -serial "file:$WORK/results.txt" \
  -kernel "$KERNEL" -initrd "$INITRD" -append "console=ttyS0 quiet panic=-1 rdinit=/init" < /dev/null
rc=$?
echo "VM run: $(( $(date +%s) - started ))s (exit $rc, kernel $(cat "$IMAGE/kernel-release"), $(basename "$KERNEL"))"
tr -d '\r' < "$WORK/console.log" | grep -a '^\[vm\]'
[ "$rc" = 124 ] && skip "the VM did not finish within ${BUDGET}s (SKIMLET_HWSIM_BUDGET)"
[ "$rc" = 0 ] || fail "qemu exited $rc (see $WORK/console.log)"
tr -d '\r' < "$WORK/results.txt" | sed -n '/^===== RESULTS BEGIN =====$/,/^===== RESULTS END =====$/p' | sed '1d;$d' |
  base64 -d | tar -xzf - -C "$WORK/out" || fail "the VM sent back no results (see $WORK/console.log)"

OUT=$WORK/out
aps=$(cat "$OUT/aps-up.txt" 2>/dev/null)
[ -n "$aps" ] && [ "${aps%/*}" = "${aps#*/}" ] || fail "not every access point started (${aps:-none}; logs in $OUT/logs)"
[ "$(cat "$OUT/in_vm.rc" 2>/dev/null)" = 0 ] || fail "in_vm.sh did not finish (see $OUT/logs/in_vm.log)"

# The probe: the backend's own view of the interface and the scan.
cat "$OUT/probe.txt" "$OUT/probe.err"
[ "$(cat "$OUT/probe.rc")" = 0 ] || fail "the probe exited $(cat "$OUT/probe.rc")"
grep -q '^scan notification: yes code=7 ' "$OUT/probe.txt" || fail "no scan-complete notification"
# hwsim radios offer both bands with HT, VHT and HE.
grep -q '^phy types: 4 5 6 7 8 10$' "$OUT/probe.txt" || fail "wrong PHY types of the interface"
visible=$(grep -L '^ignore_broadcast_ssid=[12]' "$HERE"/conf/*.conf | wc -l)
[ "$(grep -c '^BSS ' "$OUT/probe.txt")" -ge "$visible" ] ||
  fail "the probe listed fewer BSSs than the $visible access points that announce their names"

# The CLI, as root and as an unprivileged user.
for f in "$OUT"/*-root.err "$OUT"/*-user.err; do
  [ -s "$f" ] && { echo "--- $(basename "$f")"; cat "$f"; }
done
python3 "$HERE/check_lab.py" "$HERE/expected.tsv" "$OUT" || fail "the CLI's lists do not match the access points"
# The NetworkManager part, for the log; hwsim_linux_nm judges it.
grep -a '^NetworkManager ' "$OUT/logs/in_vm.log"
cat "$OUT/nm-probe.txt" "$OUT/nm-probe.err" 2>/dev/null
echo "PASSED"
