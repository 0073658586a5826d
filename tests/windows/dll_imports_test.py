#!/usr/bin/env python3
"""The plug-in library exports exactly the three browser entry points by their
plain names and imports nothing but DLLs that every Windows system has."""
import re
import subprocess
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "comctl32.dll",
    "comdlg32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll", "ws2_32.dll", "winspool.drv",
    "wininet.dll", "shlwapi.dll", "version.dll", "msimg32.dll",
}
EXPORTS = ["NP_GetEntryPoints", "NP_Initialize", "NP_Shutdown"]


def main():
    objdump, dll = sys.argv[1], sys.argv[2]
    dump = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    failures = []
    imports = [name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)]
    if not imports:
        failures.append("no import table found")
    for name in imports:
        if name not in SYSTEM_DLLS:
            failures.append(f"imports a non-system DLL: {name}")
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    names = table[1].split("\n\n", 1)[0] if len(table) > 1 else ""
    exports = re.findall(r"^\s*\[\s*\d+\]\s+(\S+)\s*$", names, re.M)
    if sorted(exports) != EXPORTS:
        failures.append(f"exports are {exports}, expected {EXPORTS}")
    if "PE32+" not in dump and "pei-x86-64" not in dump:
        failures.append("not a 64-bit library")
    for failure in failures:
        print(failure)
    print(f"imports: {imports}; exports: {exports}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
