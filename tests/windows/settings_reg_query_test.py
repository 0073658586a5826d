#!/usr/bin/env python3
"""Saves a viewer's settings with settings_probe under Wine and reads them back
with Wine's reg tool, once with the low-integrity key present and once without.

usage: settings_reg_query_test.py WINE_RUN SETTINGS_PROBE_EXE
"""
import re
import subprocess
import sys

MAIN = r"HKCU\SOFTWARE\KOB\Mervane"
LOW = r"HKCU\SOFTWARE\AppDataLow\Software\KOB\Mervane"
LINE = re.compile(r"^\s+(\S+)\s+(REG_\w+)\s*(.*?)\s*$")

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def query(wine_run, key):
    """The values of a key as {name: (type, data)}, or None when it is missing."""
    done = subprocess.run([wine_run, "reg", "query", key, "/reg:64"], capture_output=True, timeout=120)
    if done.returncode != 0:
        return None
    values = {}
    for line in done.stdout.decode("latin-1").splitlines():
        match = LINE.match(line)
        if match:
            values[match.group(1).lower()] = (match.group(2), match.group(3))
    return values


def saved_in(wine_run, probe, mode):
    done = subprocess.run([wine_run, probe, mode], capture_output=True, timeout=120)
    check(done.returncode == 0, f"settings_probe {mode} exit {done.returncode}: {done.stderr.decode(errors='replace')}")
    target, other = (LOW, MAIN) if mode == "low" else (MAIN, LOW)
    values = query(wine_run, target)
    check(values is not None, f"{mode}: {target} exists")
    if values is None:
        return
    expected = {
        "orientation": ("REG_DWORD", "0x3"),
        "negative": ("REG_DWORD", "0x1"),
        "sizemode": ("REG_DWORD", "0x0"),
        "scalepct": ("REG_DWORD", "0x19"),
        "resample": ("REG_DWORD", "0x1"),
        "toolbar": ("REG_DWORD", "0x2"),  # from the machine key
        "tbbuttonsize": ("REG_DWORD", "0x16"),
        "bgcolor": ("REG_DWORD", "0x404040"),
        "zoomloc": ("REG_SZ", "12,-34"),
        "localaccess": ("REG_DWORD", "0x1"),
    }
    for name, value in expected.items():
        check(values.get(name) == value, f"{mode}: {target} {name} = {values.get(name)}, expected {value}")
    check(len(values) == 27, f"{mode}: {len(values)} values written, expected 27")
    check(query(wine_run, other) is None, f"{mode}: {other} untouched")


def main():
    wine_run, probe = sys.argv[1], sys.argv[2]
    try:
        saved_in(wine_run, probe, "low")
        saved_in(wine_run, probe, "main")
    finally:
        # The plug-in's scenarios read the same keys.
        subprocess.run([wine_run, probe, "clear"], capture_output=True, timeout=120)
        check(query(wine_run, MAIN) is None, f"{MAIN} removed after the test")
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
