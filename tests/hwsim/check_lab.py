#!/usr/bin/env python3
"""Checks what skimlet-cli printed inside the lab VM (files of in_vm.sh) against expected.tsv.

usage: check_lab.py EXPECTED OUT_DIR
Prints one line per fault and exits 1 when there is any, else prints a summary and exits 0.
"""
import csv
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


def main():
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
