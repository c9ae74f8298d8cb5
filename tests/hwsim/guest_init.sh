#!/bin/busybox sh
# /init of the lab VM (busybox sh as PID 1). Loads mac80211_hwsim with one radio per access point
# configuration in /etc/hostapd plus one spare radio, sets the regulatory domain, starts one hostapd per
# configuration (the N-th file in name order gets wlanN) and waits until each is enabled, then runs
# /extra/in_vm.sh on the spare radio. Everything the test leaves in /out, with the hostapd logs and the
# kernel log, goes back to the host as a base64 tar.gz on the second serial port; then the VM powers off.
# Console lines "[vm] ..." are status for the host's log. Settings: /etc/vm.env (appended by run.sh).

/bin/busybox mkdir -p /usr/bin /usr/sbin /sbin
/bin/busybox --install -s
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
mount -t proc proc /proc
mount -t sysfs sysfs /sys
# The archive holds no device nodes (it is packed without root), so the console only exists from here on.
mount -t devtmpfs devtmpfs /dev
exec </dev/console >/dev/console 2>&1
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
mount -t tmpfs tmpfs /out
ip link set lo up

COUNTRY=DE          # one regulatory domain for all radios; every configuration must agree with it
AP_WAIT=40          # seconds an access point may take to become enabled
TEST_TIMEOUT=300    # seconds for in_vm.sh
[ -f /etc/vm.env ] && . /etc/vm.env

say() { echo "[vm] $(cut -d" " -f1 /proc/uptime)s $*"; }
# Sends /out to the host and powers off; the host waits for the END line.
finish() {
  dmesg > /out/logs/dmesg.txt 2>&1
  {
    echo "===== RESULTS BEGIN ====="
    tar -czf - -C /out . | base64
    echo "===== RESULTS END ====="
  } > /dev/ttyS1
  sync
  poweroff -f
}
mkdir -p /out/logs /run/hostapd /run/ap
say "kernel $(uname -r) up"

KVER=$(cat /etc/kernel-release)
MODDIR=/lib/modules/$KVER
while read -r module need; do
  err=$(insmod "$MODDIR/$module" 2>&1) || [ "$need" = optional ] || say "insmod $module: $err"
done < /etc/modules.load

CONFS=$(ls /etc/hostapd/*.conf 2>/dev/null | sort)
APS=$(echo "$CONFS" | grep -c .)
RADIOS=$((APS + 1))
if ! err=$(insmod "$(find "$MODDIR" -name mac80211_hwsim.ko | head -1)" radios=$RADIOS 2>&1); then
  say "FATAL: mac80211_hwsim: $err"; finish
fi
n=0
while [ ! -e /sys/class/net/wlan$((RADIOS - 1)) ] && [ $n -lt 100 ]; do sleep 0.1; n=$((n + 1)); done

iw reg set "$COUNTRY"
n=0
until iw reg get | grep -q "^country $COUNTRY"; do
  n=$((n + 1)); [ $n -gt 50 ] && { say "regulatory domain is not $COUNTRY"; break; }
  sleep 0.1
done

# The N-th configuration in name order runs on wlanN.
start_ap() {  # start_ap INDEX CONF
  name=$(basename "$2" .conf)
  { echo "interface=wlan$1"; echo "ctrl_interface=/run/hostapd"
    grep -vE '^[[:space:]]*(interface|ctrl_interface)=' "$2"; } > /run/ap/$name.conf
  hostapd -t /run/ap/$name.conf > /out/logs/hostapd-$name.log 2>&1 &
  echo $! > /run/ap/$name.pid
}
wait_ap() {  # wait_ap INDEX CONF: counts the access point in $up once hostapd reports it enabled
  name=$(basename "$2" .conf); ifc=wlan$1
  state=""; t=0
  while [ $t -lt $((AP_WAIT * 10)) ]; do
    kill -0 "$(cat /run/ap/$name.pid)" 2>/dev/null || { state=exited; break; }
    state=$(hostapd_cli -p /run/hostapd -i $ifc status 2>/dev/null | sed -n 's/^state=//p')
    [ "$state" = ENABLED ] && break
    sleep 0.1; t=$((t + 1))
  done
  if [ "$state" = ENABLED ]; then
    up=$((up + 1))
    say "access point $name on $ifc: $(hostapd_cli -p /run/hostapd -i $ifc status | grep -E '^(freq|channel|secondary_channel|ssid\[0\])=' | tr '\n' ' ')"
  else
    say "access point $name on $ifc did not start (state ${state:-unknown}):"
    tail -5 /out/logs/hostapd-$name.log | sed 's/^/[vm]   /'
  fi
}
# The first one alone: an HT40 access point on 2.4 GHz falls back to 20 MHz when its coexistence scan
# already finds a neighbour, so the configuration that needs the clear band comes first in name order.
# The others start together.
up=0
first=$(echo "$CONFS" | head -1)
start_ap 0 "$first"; wait_ap 0 "$first"
i=1; for conf in $(echo "$CONFS" | sed 1d); do start_ap $i "$conf"; i=$((i + 1)); done
i=1; for conf in $(echo "$CONFS" | sed 1d); do wait_ap $i "$conf"; i=$((i + 1)); done
echo "$up/$APS" > /out/aps-up.txt
say "access points up: $up/$APS"

SCAN_IF=wlan$APS
ip link set "$SCAN_IF" up
export SCAN_IF OUT=/out
say "running in_vm.sh on $SCAN_IF"
(cd /extra && timeout "$TEST_TIMEOUT" sh ./in_vm.sh > /out/logs/in_vm.log 2>&1; echo $? > /out/in_vm.rc)
say "in_vm.sh exited $(cat /out/in_vm.rc)"
finish
