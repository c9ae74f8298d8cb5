#!/bin/sh
# Runs inside the lab VM (busybox sh, working directory /extra, $SCAN_IF the spare radio): the probe, then
# skimlet-cli, first as root, then as an unprivileged user who can only read the scan results root's scan
# left in the kernel. Everything goes to $OUT; run.sh on the host checks it.
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
exit 0
