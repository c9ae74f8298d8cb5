#!/usr/bin/env bash
# Builds the lab VM's boot image from Debian's own packages, without root and without installing anything:
#   OUT/vmlinuz            the kernel of linux-image-amd64
#   OUT/vmlinux            the same uncompressed, when it has the PVH entry point (boots faster)
#   OUT/initramfs.cpio.gz  busybox, hostapd, hostapd_cli, iw with their shared libraries, the signed
#                          regulatory database, the kernel modules of mac80211_hwsim and of the ciphers
#                          mac80211 asks for, and guest_init.sh as /init; and, when apt has them, a system
#                          bus (dbus-daemon), NetworkManager with its Wi-Fi plugin and nmcli, and wpa_supplicant.
#                          Without them etc/nm-unavailable says why, and the lab runs without NetworkManager.
#   OUT/kernel-release
# Packages are fetched with `apt-get download` into CACHE/debs (kept, so a rebuild needs no network) and
# unpacked with dpkg-deb. Access point configurations and the programs under test are not part of the
# image: run.sh appends them at boot as a second archive.
#
# usage: image.sh OUT CACHE
# Exit: 0 built; 77 when this host cannot build it (a tool or a package is missing, no network to fetch
# it); 1 on any other fault.
set -euo pipefail
OUT=$1
CACHE=$2
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ARCH_DIR=x86_64-linux-gnu

say() { printf '[image] %s\n' "$*"; }
unavailable() { printf '[image] UNAVAILABLE: %s\n' "$*"; exit 77; }
die() { printf '[image] ERROR: %s\n' "$*"; exit 1; }

for tool in apt-get apt-cache dpkg-deb depmod modprobe cpio gzip xz readelf tar sha256sum; do
  command -v "$tool" >/dev/null || unavailable "host tool '$tool' is missing (make deps installs it)"
done

# Programs the guest runs (file names searched in the unpacked packages) and the packages holding them.
PROGRAMS=(busybox hostapd hostapd_cli iw)
TOOL_PACKAGES=(busybox-static hostapd iw wireless-regdb)
# The NetworkManager stack: programs (installed in /usr/sbin) and packages. NetworkManager loads its Wi-Fi
# support as a plugin from its own folder, which keeps its path.
NM_PROGRAMS=(NetworkManager nmcli wpa_supplicant dbus-daemon)
NM_PACKAGES=(network-manager wpasupplicant dbus-daemon)
NM_PLUGIN=libnm-device-plugin-wifi.so
# Modules loaded in this order before mac80211_hwsim: CCMP needs ccm+ctr, GCMP gcm, the management frame
# protection of WPA3 cmac; the accelerated AES is used where the virtual CPU has AES-NI.
MODULES=(ccm ctr gcm cmac ghash-generic)
OPTIONAL_MODULES=(aesni-intel)

mkdir -p "$CACHE/debs" "$OUT"
WORK=$(mktemp -d "$OUT/.work.XXXXXX")
rm -rf "$CACHE"/.incoming.*
trap 'rm -rf "$WORK" "$CACHE"/.incoming.*' EXIT

# --- Package resolution -------------------------------------------------------------------------------
# "NAME FILE" for the candidate version of each package, FILE being what `apt-get download` saves.
candidates() {
  apt-cache show --no-all-versions "$@" 2>/dev/null | awk '
    /^Package: /      { p = $2 }
    /^Version: /      { v = $2; gsub(/:/, "%3a", v) }
    /^Architecture: / { a = $2 }
    /^$/ && p != ""   { print p, p "_" v "_" a ".deb"; p = "" }
    END               { if (p != "") print p, p "_" v "_" a ".deb" }'
}

# Library packages the given packages need, transitively: the first choice of every Depends and
# Pre-Depends that names a lib* package or zlib1g (helpers such as init-system-helpers play no part in a ramdisk).
library_packages() {
  local -A seen=()
  local round=("$@") next name
  while [ ${#round[@]} -gt 0 ]; do
    next=()
    while read -r name; do
      [ -n "$name" ] && [ -z "${seen[$name]:-}" ] || continue
      seen[$name]=1
      next+=("$name")
      printf '%s\n' "$name"
    done < <(apt-cache show --no-all-versions "${round[@]}" 2>/dev/null |
             sed -n 's/^\(Pre-\)\?Depends: //p' | tr ',' '\n' |
             sed 's/|.*//; s/(.*)//; s/:any//; s/[[:space:]]//g' | grep -E '^(lib|zlib1g$)' | sort -u)
    round=("${next[@]}")
  done
}

declare -A DEB=()     # package -> .deb file name in $CACHE/debs
FETCH_ERROR=""
# Downloads what is not cached yet; returns 1 with FETCH_ERROR set when apt cannot provide a package.
fetch() {
  local name file missing=()
  while read -r name file; do DEB[$name]=$file; done < <(candidates "$@")
  for name in "$@"; do
    [ -n "${DEB[$name]:-}" ] || { FETCH_ERROR="apt knows no package $name (run apt-get update)"; return 1; }
    [ -s "$CACHE/debs/${DEB[$name]}" ] || missing+=("$name")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "downloading ${missing[*]}"
  # Short timeouts: without a network this must give up quickly so that the test can skip.
  # Into a folder of its own first, so that an interrupted download leaves no partial .deb in the cache.
  local incoming
  incoming=$(mktemp -d "$CACHE/.incoming.XXXXXX")
  if ! (cd "$incoming" && apt-get download -q -o Acquire::Retries=1 \
          -o Acquire::http::Timeout=30 -o Acquire::https::Timeout=30 "${missing[@]}") > "$WORK/download.log" 2>&1; then
    rm -rf "$incoming"
    grep -E '^(E|Err):' "$WORK/download.log" | head -5
    FETCH_ERROR="apt-get download of ${#missing[@]} package(s) failed (no network and nothing cached?)"
    return 1
  fi
  for name in "${missing[@]}"; do
    [ -s "$incoming/${DEB[$name]}" ] || die "apt-get download left no ${DEB[$name]}"
    mv -f "$incoming/${DEB[$name]}" "$CACHE/debs/"
  done
  rm -rf "$incoming"
}

# The concrete kernel package behind linux-image-amd64, the library packages, and all of them fetched.
fetch_all() {
  KERNEL_PKG=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -1)
  [ -n "$KERNEL_PKG" ] || { FETCH_ERROR="apt cannot resolve linux-image-amd64 (run apt-get update)"; return 1; }
  mapfile -t LIB_PACKAGES < <(library_packages hostapd iw)
  [ ${#LIB_PACKAGES[@]} -gt 0 ] || { FETCH_ERROR="apt cannot resolve the libraries of hostapd and iw"; return 1; }
  fetch "$KERNEL_PKG" "${TOOL_PACKAGES[@]}" "${LIB_PACKAGES[@]}"
}
# The NetworkManager stack on top; NM_UNAVAILABLE says why when apt cannot provide it.
NM_UNAVAILABLE=""
fetch_nm() {
  FETCH_ERROR=""
  mapfile -t NM_LIB_PACKAGES < <(library_packages "${NM_PACKAGES[@]}")
  [ ${#NM_LIB_PACKAGES[@]} -gt 0 ] || { NM_UNAVAILABLE="apt cannot resolve the libraries of ${NM_PACKAGES[*]}"; return 0; }
  fetch "${NM_PACKAGES[@]}" "${NM_LIB_PACKAGES[@]}" || NM_UNAVAILABLE=$FETCH_ERROR
}
if ! fetch_all; then
  # Package lists older than the mirror name versions it no longer has. Root may refresh them, as
  # `make deps` does; anyone else is told why the image cannot be built.
  [ "$(id -u)" = 0 ] || unavailable "$FETCH_ERROR"
  say "$FETCH_ERROR; refreshing apt's package lists"
  timeout 180 apt-get update -qq > "$WORK/update.log" 2>&1 || unavailable "$FETCH_ERROR; apt-get update failed too"
  fetch_all || unavailable "$FETCH_ERROR"
fi
fetch_nm
if [ -n "$NM_UNAVAILABLE" ]; then
  say "no NetworkManager in the image: $NM_UNAVAILABLE"
  NM_PACKAGES=(); NM_LIB_PACKAGES=(); NM_PROGRAMS=()
fi
# Older versions left in the cache by earlier builds are not needed again.
declare -A WANTED=()
for name in "${!DEB[@]}"; do WANTED[${DEB[$name]}]=1; done
for deb in "$CACHE"/debs/*.deb; do
  [ -n "${WANTED[${deb##*/}]:-}" ] || rm -f "$deb"
done
say "kernel $KERNEL_PKG; programs ${TOOL_PACKAGES[*]} ${NM_PACKAGES[*]}; libraries ${LIB_PACKAGES[*]} ${NM_LIB_PACKAGES[*]}"

# --- Kernel and modules -------------------------------------------------------------------------------
KTREE=$WORK/kernel
dpkg-deb -x "$CACHE/debs/${DEB[$KERNEL_PKG]}" "$KTREE"
if [ -d "$KTREE/usr/lib/modules" ] && [ ! -d "$KTREE/lib/modules" ]; then
  mkdir -p "$KTREE/lib" && mv "$KTREE/usr/lib/modules" "$KTREE/lib/modules"
fi
KVER=$(ls "$KTREE/lib/modules" | head -1)
[ -n "$KVER" ] && [ -f "$KTREE/boot/vmlinuz-$KVER" ] || die "$KERNEL_PKG holds no kernel and modules"
depmod -b "$KTREE" "$KVER"

ROOT=$WORK/root
mkdir -p "$ROOT"/{bin,sbin,usr/bin,usr/sbin,etc,proc,sys,dev,tmp,run,root,extra,out,lib64} \
         "$ROOT/lib/$ARCH_DIR" "$ROOT/usr/lib/$ARCH_DIR" "$ROOT/lib/firmware"
MODDIR=$ROOT/lib/modules/$KVER
mkdir -p "$MODDIR"
: > "$ROOT/etc/modules.load"
declare -A HAVE_MODULE=()
# Copies a module and what it depends on (in load order, as modprobe works it out against the unpacked
# tree), uncompressed, and lists each in etc/modules.load. $2=optional: a module the kernel lacks is fine.
add_module() {
  local plan path rel dest
  if ! plan=$(modprobe -d "$KTREE" -S "$KVER" --show-depends "$1" 2>&1); then
    [ "${2:-}" = optional ] && return 0
    die "the kernel has no module $1: $plan"
  fi
  while read -r _ path _; do
    rel=${path#"$KTREE/lib/modules/$KVER/"}
    rel=${rel%.xz}; rel=${rel%.zst}
    [ -n "${HAVE_MODULE[$rel]:-}" ] && continue
    HAVE_MODULE[$rel]=1
    dest=$MODDIR/$rel
    mkdir -p "$(dirname "$dest")"
    case $path in
      *.xz) xz -dc "$path" > "$dest" ;;
      *.zst) command -v zstd >/dev/null || unavailable "the kernel's modules are zstd-compressed and zstd is missing"
             zstd -qdc "$path" > "$dest" ;;
      *) cp "$path" "$dest" ;;
    esac
    # mac80211_hwsim itself is loaded by /init, which knows how many radios it needs.
    case $rel in */mac80211_hwsim.ko) ;; *) printf '%s %s\n' "$rel" "${2:-required}" >> "$ROOT/etc/modules.load" ;; esac
  done < <(grep '^insmod ' <<<"$plan")
}
for m in "${MODULES[@]}"; do add_module "$m"; done
for m in "${OPTIONAL_MODULES[@]}"; do add_module "$m" optional; done
add_module mac80211_hwsim
cp "$KTREE/lib/modules/$KVER"/modules.builtin* "$MODDIR/"
printf '%s\n' "${!HAVE_MODULE[@]}" | LC_ALL=C sort > "$MODDIR/modules.order"
# A module index of the image's own modules, so that the kernel's module requests find them too.
depmod -b "$ROOT" "$KVER"
printf '%s\n' "$KVER" > "$ROOT/etc/kernel-release"

# --- Programs and libraries -----------------------------------------------------------------------------
PKG_TREES=()
for name in "${TOOL_PACKAGES[@]}" "${NM_PACKAGES[@]}" "${LIB_PACKAGES[@]}" "${NM_LIB_PACKAGES[@]}"; do
  tree=$WORK/pkg/$name
  [ -d "$tree" ] && continue
  mkdir -p "$tree"
  dpkg-deb -x "$CACHE/debs/${DEB[$name]}" "$tree"
  PKG_TREES+=("$tree")
done
# First file of that name in a program or library folder of the unpacked packages.
find_file() {
  local dir tree
  for tree in "${PKG_TREES[@]}"; do
    for dir in bin sbin usr/bin usr/sbin "lib/$ARCH_DIR" "usr/lib/$ARCH_DIR" lib usr/lib lib64 usr/lib64; do
      [ -e "$tree/$dir/$1" ] && { printf '%s\n' "$tree/$dir/$1"; return 0; }
    done
  done
  return 1
}
for prog in "${PROGRAMS[@]}" "${NM_PROGRAMS[@]}"; do
  src=$(find_file "$prog") || die "no package holds the program $prog"
  case $prog in busybox) dest=$ROOT/bin/busybox ;; *) dest=$ROOT/usr/sbin/$prog ;; esac
  install -m 755 "$src" "$dest"
done
# Shared libraries: follow DT_NEEDED from the programs through the unpacked library packages (nothing of
# the host's goes in; run.sh adds the host libraries of the programs under test).
declare -A HAVE_LIB=()
queue=("$ROOT/usr/sbin/hostapd" "$ROOT/usr/sbin/hostapd_cli" "$ROOT/usr/sbin/iw")
for prog in "${NM_PROGRAMS[@]}"; do queue+=("$ROOT/usr/sbin/$prog"); done
if [ -n "${NM_PROGRAMS[*]}" ]; then
  plugin=$(find "$WORK/pkg/network-manager" -path "*/NetworkManager/*/$NM_PLUGIN" -print -quit)
  [ -n "$plugin" ] || die "network-manager holds no $NM_PLUGIN"
  install -D -m 644 "$plugin" "$ROOT/${plugin#"$WORK/pkg/network-manager/"}"
  queue+=("$ROOT/${plugin#"$WORK/pkg/network-manager/"}")
else
  printf '%s\n' "$NM_UNAVAILABLE" > "$ROOT/etc/nm-unavailable"
fi
while [ ${#queue[@]} -gt 0 ]; do
  elf=${queue[0]}; queue=("${queue[@]:1}")
  for so in $(readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    [ -n "${HAVE_LIB[$so]:-}" ] && continue
    src=$(find_file "$so") || die "no unpacked package holds $so (needed by $(basename "$elf"))"
    HAVE_LIB[$so]=1
    install -m 755 "$(readlink -f "$src")" "$ROOT/lib/$ARCH_DIR/$so"
    queue+=("$ROOT/lib/$ARCH_DIR/$so")
  done
done
src=$(find_file ld-linux-x86-64.so.2) || die "no dynamic loader in libc6"
install -m 755 "$(readlink -f "$src")" "$ROOT/lib/$ARCH_DIR/ld-linux-x86-64.so.2"
ln -s "../lib/$ARCH_DIR/ld-linux-x86-64.so.2" "$ROOT/lib64/ld-linux-x86-64.so.2"

# The regulatory database the kernel accepts: Debian's build, signed with a key the kernel carries.
REGDB=$(find "${PKG_TREES[@]}" -path '*/firmware/regulatory.db-debian' -print -quit)
if [ -n "$REGDB" ]; then SIG=${REGDB%-debian}.p7s-debian
else REGDB=$(find "${PKG_TREES[@]}" -path '*/firmware/regulatory.db' -print -quit); SIG=$REGDB.p7s; fi
[ -f "$REGDB" ] && [ -f "$SIG" ] || die "wireless-regdb holds no signed regulatory.db"
cp "$REGDB" "$ROOT/lib/firmware/regulatory.db"
cp "$SIG" "$ROOT/lib/firmware/regulatory.db.p7s"

printf 'root:x:0:0:root:/root:/bin/sh\n' > "$ROOT/etc/passwd"
printf 'root:x:0:\n' > "$ROOT/etc/group"
install -m 755 "$HERE/guest_init.sh" "$ROOT/init"

# The kernel also as its uncompressed ELF image, when it can start through the PVH entry point: qemu
# then loads it directly, which saves the bzImage's self-decompression (about 8 s under TCG).
# Only the xz and gzip payloads of a bzImage are looked for; without either, qemu boots the bzImage.
extract_vmlinux() {
  local magic tool offset
  for magic in 'xz:\xfd7zXZ\x00' 'gzip:\x1f\x8b\x08\x00'; do
    tool=${magic%%:*}
    offset=$(LC_ALL=C grep -obUaP "${magic#*:}" "$1" | head -1 | cut -d: -f1)
    [ -n "$offset" ] || continue
    case $tool in
      xz) tail -c +$((offset + 1)) "$1" | xz -dc --single-stream > "$2" 2>/dev/null ;;
      gzip) tail -c +$((offset + 1)) "$1" | gzip -dc > "$2" 2>/dev/null ;;
    esac
    # An ELF file with the PVH entry note (Xen note type 18).
    if [ "$(head -c 4 "$2" | od -An -tx1 | tr -d ' ')" = 7f454c46 ] &&
       readelf -n "$2" 2>/dev/null | grep -qE 'note type: \(0x00000012\)|PHYS32_ENTRY'; then
      return 0
    fi
  done
  rm -f "$2"
  return 1
}
KERNEL_FILES=(vmlinuz)
if extract_vmlinux "$KTREE/boot/vmlinuz-$KVER" "$WORK/vmlinux"; then KERNEL_FILES+=(vmlinux); fi

# --- Pack ------------------------------------------------------------------------------------------------
# Every entry belongs to root in the archive, whoever builds it.
(cd "$ROOT" && find . -mindepth 1 | LC_ALL=C sort | cpio -o -H newc -R 0:0 --quiet) | gzip -6 > "$WORK/initramfs.cpio.gz"
cp "$KTREE/boot/vmlinuz-$KVER" "$WORK/vmlinuz"
printf '%s\n' "$KVER" > "$WORK/kernel-release"
rm -f "$OUT/vmlinux"
for f in "${KERNEL_FILES[@]}" initramfs.cpio.gz kernel-release; do mv -f "$WORK/$f" "$OUT/$f"; done
say "built $KVER: ${KERNEL_FILES[*]}, initramfs $(du -h "$OUT/initramfs.cpio.gz" | cut -f1)"
