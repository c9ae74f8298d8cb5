#!/usr/bin/env python3
"""Checks what skimlet-cli printed inside the lab VM (files of in_vm.sh) against expected.tsv, or, with --nm,
what skimlet-nm-probe did against the VM's NetworkManager.

usage: check_lab.py EXPECTED OUT_DIR
       check_lab.py --nm OUT_DIR
Prints one line per fault and exits 1 when there is any, else prints a summary and exits 0. With --nm it exits
77 (skipped) when the lab or its NetworkManager did not run.
"""
import re
import sys
from pathlib import Path

COLUMNS = ["ssid", "channel", "band", "width", "phy_modes", "security", "encryption", "authentication", "wps", "country"]
NOTICE = "give it CAP_NET_ADMIN"
PHY_LINES = ["802.11a (OFDM)", "802.11b (HR-DSSS)", "802.11g (ERP)", "802.11n (HT)", "802.11ac (VHT)", "802.11ax (HE)"]


def read_expected(path):
    rows = []
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        cells = line.split("\t")
        if len(cells) != len(COLUMNS) + 1:
            raise SystemExit(f"expected.tsv: {len(cells)} cells in {line!r}")
        rows.append((dict(zip(COLUMNS, cells)), cells[-1] == "optional"))
    return rows


def last_refresh(path):
    """The number of the last refresh of a TSV scan output and its rows (the column refresh numbers them)."""
    lines = [line.split("\t") for line in Path(path).read_text(encoding="utf-8").splitlines() if line]
    if len(lines) < 2:
        return 0, []
    header, *rows = lines
    rows = [dict(zip(header, r)) for r in rows]
    last = max(int(r.get("refresh", "0")) for r in rows)
    return last, [r for r in rows if r.get("refresh") == str(last)]


def check_run(who, out, expected, faults):
    def text(name):
        p = out / name
        return p.read_text(encoding="utf-8", errors="replace") if p.exists() else None

    for command in ("interfaces", "scan"):
        rc = text(f"{command}-{who}.rc")
        if rc is None or rc.strip() != "0":
            faults.append(f"{who}: skimlet-cli {command} exited {rc.strip() if rc else '(did not run)'}: "
                          f"{(text(f'{command}-{who}.err') or '').strip()[:300]}")
    interfaces = text(f"interfaces-{who}.txt") or ""
    if "Interface 0: mac80211_hwsim (" not in interfaces:
        faults.append(f"{who}: the interface list lacks the hwsim radio:\n{interfaces}")
    for phy in PHY_LINES:
        if f"{phy}: software On, hardware On" not in interfaces:
            faults.append(f"{who}: interface list lacks the radio line of {phy}")
    if "Disconnected" not in interfaces:
        faults.append(f"{who}: the spare radio is not shown disconnected")

    refreshes, rows = last_refresh(out / f"scan-{who}.txt")
    if refreshes != 2:
        faults.append(f"{who}: {refreshes} refreshes printed, 2 asked for")
    for want, optional in expected:
        same_ssid = [r for r in rows if r.get("ssid") == want["ssid"] and r.get("channel") == want["channel"]]
        if not same_ssid:
            if not optional:
                faults.append(f"{who}: {want['ssid']} (channel {want['channel']}) is not listed")
            continue
        for row in same_ssid:
            wrong = [f"{c}={row.get(c)!r} (expected {want[c]!r})" for c in COLUMNS if row.get(c) != want[c]]
            if wrong:
                faults.append(f"{who}: {want['ssid']}: " + ", ".join(wrong))
    known = {(w["ssid"], w["channel"]) for w, _ in expected}
    for row in rows:
        if (row.get("ssid"), row.get("channel")) not in known:
            faults.append(f"{who}: unexpected network {row.get('ssid')!r} on channel {row.get('channel')!r}")
    return len(rows)


# What skimlet-nm-probe must print, in this order (tests/hwsim/nm holds the two profiles; in_vm.sh names them).
SSID = "lab-wpa2-ht40"
MAC = "[0-9a-f]{2}(?::[0-9a-f]{2}){5}"
NM_STEPS = [
    ("the initial profile list", r"profiles initial: lab-wpa2 first\|lab-wpa2 second "),
    ("both access points of the SSID in the scan", rf"bss: {SSID} {MAC} {MAC}$"),
    ("connecting by profile", r"connect profile: 0$"),
    ("the association by profile", rf"connected: state=1 ssid={SSID} bssid=(?P<landed>{MAC}) profile=lab-wpa2 second auth=7 cipher=4 "),
    ("disconnecting", r"disconnect: 0$"),
    ("the disconnection", r"disconnected: yes "),
    ("the rename", r"rename: 0$"),
    ("the list after the rename", r"profiles renamed: lab-wpa2 first\|lab-wpa2 renamed$"),
    ("the move to the front", r"position: 0$"),
    ("the list after the move", r"profiles moved: lab-wpa2 renamed\|lab-wpa2 first$"),
    ("the other access point to pin the connection to", rf"pin: (?!(?P=landed))(?P<pin>{MAC})$"),
    ("connecting by SSID and BSSID", r"connect bssid: 0$"),
    ("the association by BSSID, with the pinned access point and the moved profile",
     rf"connected: state=1 ssid={SSID} bssid=(?P=pin) profile=lab-wpa2 renamed auth=7 cipher=4 "),
    ("the list while pinned, without the stand-in", r"profiles pinned: lab-wpa2 renamed\|lab-wpa2 first$"),
    ("disconnecting again", r"disconnect: 0$"),
    ("the disconnection", r"disconnected: yes "),
    ("the final list", r"profiles final: lab-wpa2 renamed\|lab-wpa2 first$"),
    ("the backend's notices of both connections and both disconnections",
     r"notices: connected=(?:[2-9]|\d\d+) disconnected=(?:[2-9]|\d\d+)$"),
]
HANDSHAKE = "pairwise key handshake completed"


def check_nm(out):
    """Returns the faults of the NetworkManager part, or None with the reason when it did not run."""
    def text(name):
        p = out / name
        return p.read_text(encoding="utf-8", errors="replace") if p.exists() else None

    if text("in_vm.rc") is None:
        return None, "the lab VM did not run (see the test hwsim_linux_scan)"
    if text("nm-skip.txt") is not None:
        return None, text("nm-skip.txt").strip()
    probe = text("nm-probe.txt")
    if probe is None:
        return ["skimlet-nm-probe did not run (see logs/in_vm.log)"], None
    faults = []
    lines, at, seen = probe.splitlines(), 0, {}
    for what, pattern in NM_STEPS:
        # (?P=name) stands for what an earlier step's group of that name matched.
        for name, value in seen.items():
            pattern = pattern.replace(f"(?P={name})", re.escape(value))
        rx = re.compile(pattern)
        hit = next((i for i in range(at, len(lines)) if rx.match(lines[i])), None)
        if hit is None:
            faults.append(f"{what}: no line matches {rx.pattern!r} after line {at}")
            break
        seen.update(rx.match(lines[hit]).groupdict())
        at = hit + 1
    rc = (text("nm-probe.rc") or "").strip()
    if rc != "0":
        faults.append(f"skimlet-nm-probe exited {rc or '(unknown)'}: {(text('nm-probe.err') or '').strip()[:300]}")
    # Both associations completed the 4-way handshake: the renamed profile kept its secret.
    handshakes = sum((text(f"logs/hostapd-{name}.log") or "").count(HANDSHAKE)
                     for name in ("01-2g-ht40-wpa2", "14-2g-wpa2-twin"))
    if handshakes < 2:
        faults.append(f"the WPA2 access points completed {handshakes} handshakes, 2 expected")
    # What NetworkManager stored: the new name with the secret, in front by its priority.
    stored = {}
    for f in sorted((out / "nm-keyfiles").glob("*")):
        keys = dict(line.split("=", 1) for line in f.read_text(errors="replace").splitlines() if "=" in line)
        stored[keys.get("id")] = keys
    if set(stored) != {"lab-wpa2 renamed", "lab-wpa2 first"}:
        faults.append(f"stored profiles are {sorted(k or '' for k in stored)}")
    else:
        if stored["lab-wpa2 renamed"].get("psk") != "skimlet-lab-01":
            faults.append("the renamed profile lost its stored secret")
        prio = {k: int(v.get("autoconnect-priority", "0")) for k, v in stored.items()}
        if prio["lab-wpa2 renamed"] <= prio["lab-wpa2 first"]:
            faults.append(f"stored priorities do not put the moved profile first: {prio}")
    return faults, None


def main_nm(out):
    faults, skipped = check_nm(out)
    if skipped:
        print("SKIPPED:", skipped)
        return 77
    for f in faults:
        print("FAULT:", f)
    probe = out / "nm-probe.txt"
    if faults and probe.exists():
        print("--- nm-probe.txt\n" + probe.read_text(errors="replace"))
    if faults:
        return 1
    print("NetworkManager check: profiles listed, connected by profile and by BSSID, renamed, moved, disconnected")
    return 0


def main():
    if sys.argv[1] == "--nm":
        return main_nm(Path(sys.argv[2]))
    expected_path, out = sys.argv[1], Path(sys.argv[2])
    expected = read_expected(expected_path)
    faults = []
    counts = {who: check_run(who, out, expected, faults) for who in ("root", "user")}

    whoami = (out / "whoami-user.txt").read_text() if (out / "whoami-user.txt").exists() else ""
    if not whoami.startswith("1000") or "CapEff:\t0000000000000000" not in whoami:
        faults.append(f"the unprivileged run was not unprivileged: {whoami!r}")
    # Root triggers its own scans; the user is refused and told once how to let the program scan.
    root_err = (out / "scan-root.err").read_text(errors="replace") if (out / "scan-root.err").exists() else ""
    user_err = (out / "scan-user.err").read_text(errors="replace") if (out / "scan-user.err").exists() else ""
    if NOTICE in root_err:
        faults.append("root was told it cannot trigger scans")
    if user_err.count(NOTICE) != 1:
        faults.append(f"the unprivileged user got the scan notice {user_err.count(NOTICE)} times, not once")

    for f in faults:
        print("FAULT:", f)
    if faults:
        return 1
    print(f"lab check: root listed {counts['root']} networks, the unprivileged user {counts['user']}; "
          f"every configured access point matched")
    return 0


if __name__ == "__main__":
    sys.exit(main())
