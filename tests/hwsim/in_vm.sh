#!/bin/sh
# Runs inside the lab VM (busybox sh, working directory /extra, $SCAN_IF the spare radio): the probe, then
# skimlet-cli, first as root, then as an unprivileged user who can only read the scan results root's scan
# left in the kernel. Then NetworkManager on the spare radio (nm_section below) and skimlet-nm-probe through
# the backend. Everything goes to $OUT; run.sh and check_lab.py on the host check it.
out=${OUT:-/out}
run() {  # run NAME COMMAND...: stdout to NAME.txt, stderr to NAME.err, exit code to NAME.rc
  name=$1; shift
  "$@" > "$out/$name.txt" 2> "$out/$name.err"
  echo $? > "$out/$name.rc"
}
run probe ./skimlet-wifi-probe "$SCAN_IF"
run interfaces-root ./skimlet-cli interfaces --service linux
run scan-root ./skimlet-cli scan --service linux --count 2 --interval 0 --tsv

# An ordinary user: no capabilities, no NetworkManager in the VM, so its scan requests are refused and it
# lists what the kernel still holds from root's scan (entries live about 30 s).
grep -q '^surveyor:' /etc/passwd || echo 'surveyor:x:1000:1000:surveyor:/tmp:/bin/sh' >> /etc/passwd
grep -q '^surveyor:' /etc/group 2>/dev/null || echo 'surveyor:x:1000:' >> /etc/group
as_user() { su -s /bin/sh surveyor -c "$*"; }
run whoami-user as_user 'id -u; grep ^CapEff /proc/self/status'
run interfaces-user as_user ./skimlet-cli interfaces --service linux
run scan-user as_user ./skimlet-cli scan --service linux --count 2 --interval 0 --tsv

# --- NetworkManager ---------------------------------------------------------------------------------------
# A system bus, wpa_supplicant on it (-u) and NetworkManager with the keyfiles of /etc/NetworkManager, managing
# only the spare radio. Without udev NetworkManager waits for udev to announce each device unless /sys is
# read-only (as in a container); the kernel-side checks above are done by now, so sysfs can be.
# $out/nm-skip.txt says why the part did not run; nm-probe.* is the probe's output otherwise.
uptime_s() { cut -d' ' -f1 /proc/uptime; }
nm_skip() { echo "$*" > "$out/nm-skip.txt"; echo "NetworkManager part skipped: $*"; }
nm_section() {
  if [ -f /etc/nm-unavailable ]; then nm_skip "the image has no NetworkManager: $(cat /etc/nm-unavailable)"; return; fi
  [ -x ./skimlet-nm-probe ] || { nm_skip "run.sh was given no skimlet-nm-probe"; return; }
  t0=$(uptime_s)
  mkdir -p /run/dbus /var/lib/NetworkManager /etc/NetworkManager/conf.d
  [ -e /var/run ] || ln -s /run /var/run  # where GLib looks for the system bus
  [ -s /etc/machine-id ] || echo 5c1e7a1ab0000000000000000000000d > /etc/machine-id
  printf '[keyfile]\nunmanaged-devices=except:interface-name:%s\n' "$SCAN_IF" > /etc/NetworkManager/conf.d/lab-devices.conf
  mount -o remount,ro /sys || { nm_skip "sysfs cannot be made read-only"; return; }
  dbus-daemon --config-file=/etc/dbus-1/lab-system.conf --nofork --nopidfile > "$out/logs/dbus-daemon.log" 2>&1 &
  n=0; while [ ! -S /run/dbus/system_bus_socket ] && [ $n -lt 100 ]; do sleep 0.1; n=$((n + 1)); done
  [ -S /run/dbus/system_bus_socket ] || { nm_skip "dbus-daemon did not start: $(tail -3 "$out/logs/dbus-daemon.log")"; return; }
  wpa_supplicant -u > "$out/logs/wpa_supplicant.log" 2>&1 &
  NetworkManager --no-daemon --debug > "$out/logs/NetworkManager.log" 2>&1 &
  nm_pid=$!
  n=0
  until [ "$(nmcli -t -f RUNNING general 2>/dev/null)" = running ]; do
    kill -0 $nm_pid 2>/dev/null && [ $n -lt 40 ] ||
      { nm_skip "NetworkManager did not start: $(tail -3 "$out/logs/NetworkManager.log" | tr '\n' ' ')"; return; }
    sleep 0.5; n=$((n + 1))
  done
  # The probe's connects wait for the device too; this only makes the log tell when it became usable.
  n=0
  until nmcli -t -f DEVICE,STATE device | grep -q "^$SCAN_IF:disconnected$" || [ $n -ge 30 ]; do sleep 0.5; n=$((n + 1)); done
  echo "NetworkManager up after $(echo "$(uptime_s) $t0" | awk '{print $1 - $2}') s: $(nmcli -t -f DEVICE,STATE device | tr '\n' ' ')"
  run nm-probe timeout 80 ./skimlet-nm-probe "$SCAN_IF" lab-wpa2-ht40 "lab-wpa2 first" "lab-wpa2 second" "lab-wpa2 renamed"
  echo "NetworkManager part took $(echo "$(uptime_s) $t0" | awk '{print $1 - $2}') s"
  nmcli -f NAME,UUID,AUTOCONNECT-PRIORITY,TIMESTAMP connection > "$out/logs/nmcli-connections.txt" 2>&1
  mkdir -p "$out/nm-keyfiles"
  cp /etc/NetworkManager/system-connections/* "$out/nm-keyfiles/" 2>/dev/null
  kill $nm_pid 2>/dev/null
}
nm_section
exit 0
