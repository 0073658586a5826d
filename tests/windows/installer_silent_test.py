#!/usr/bin/env python3
"""The installer as an administrator runs it: "mrvinstall /s" with an
options.txt beside it, under Wine. Checks with Wine's own reg tool that the
registration and the settings are exactly what browsers and the viewer read,
that the library was copied, that nphost then finds and runs the installed copy
by MIME type alone, and that "/cond" leaves an installed machine alone.
Removes everything it installed at the end.

usage: installer_silent_test.py WINE_RUN MRVINSTALL_EXE NPMRV64_DLL NPHOST_EXE SCENARIO WINDOW_CLOSER_EXE WORK_DIR
"""
import os
import re
import shutil
import subprocess
import sys

REGISTRATION = r"HKLM\SOFTWARE\MozillaPlugins\@mervane.example/Mervane"
USER_SETTINGS = r"HKCU\SOFTWARE\KOB\Mervane"
MACHINE_SETTINGS = r"HKLM\SOFTWARE\KOB\Mervane"
LINE = re.compile(r"^\s+(\S+)\s+(REG_\w+)\s*(.*?)\s*$")
KEY_LINE = re.compile(r"^HKEY_\S+")

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def run(wine_run, args, cwd=None, timeout=120):
    try:
        return subprocess.run([wine_run] + args, capture_output=True, timeout=timeout, cwd=cwd)
    except subprocess.TimeoutExpired:
        return None


def query(wine_run, key, recursive=False):
    """{key path: {value name: (type, data)}} below `key`, or None when it is missing."""
    done = run(wine_run, ["reg", "query", key, "/reg:64"] + (["/s"] if recursive else []))
    if done is None or done.returncode != 0:
        return None
    keys = {}
    current = None
    for line in done.stdout.decode("latin-1").splitlines():
        if KEY_LINE.match(line):
            current = line.strip()
            keys[current] = {}
            continue
        match = LINE.match(line)
        if match and current is not None:
            name = "" if match.group(1) == "(Default)" else match.group(1)
            keys[current][name] = (match.group(2), match.group(3))
    return keys


def remove_all(wine_run, prefix):
    for key in (REGISTRATION, USER_SETTINGS, MACHINE_SETTINGS):
        run(wine_run, ["reg", "delete", key, "/f", "/reg:64"])
    shutil.rmtree(os.path.join(prefix, "drive_c", "Program Files", "KOB"), ignore_errors=True)


def expected_registration(path):
    top = "HKEY_LOCAL_MACHINE\\SOFTWARE\\MozillaPlugins\\@mervane.example/Mervane"
    text = lambda value: ("REG_SZ", value)
    return {
        top: {"Description": text("Mervane TIFF image viewer"), "Path": text(path),
              "ProductName": text("Mervane"), "Vendor": text("Velorin"), "Version": text("2.0.8")},
        top + "\\MimeTypes": {},
        top + "\\MimeTypes\\application/x-mervane": {"Description": text("TIFF Image"), "Suffixes": text("mrvtif")},
        top + "\\MimeTypes\\image/tiff": {"Description": text("TIFF Image"), "Suffixes": text("tif;tiff")},
        top + "\\MimeTypes\\image/x-tiff": {"Description": text("TIFF Image")},
        top + "\\Suffixes": {},
        top + "\\Suffixes\\mrvtif": {},
        top + "\\Suffixes\\tif": {},
        top + "\\Suffixes\\tiff": {},
    }


def start_watchers(wine_run, closer, work):
    """Watchers that count the windows titled so while the installer runs."""
    stop = os.path.join(work, "stop-watchers")
    if os.path.exists(stop):
        os.remove(stop)
    watchers = []
    for title in ("Mervane Plug-in V2.0.8 Setup", "Mervane Plug-in Setup"):
        watcher = subprocess.Popen([wine_run, closer, title, stop, "120", "watch"], stdout=subprocess.PIPE)
        watcher.stdout.readline()  # "ready": it is looking
        watchers.append((title, watcher))
    return stop, watchers


def windows_seen(stop, watchers):
    open(stop, "w").close()
    seen = {}
    for title, watcher in watchers:
        output = watcher.communicate(timeout=120)[0].decode()
        seen[title] = output.split()[-1] if output.split() else "?"
    return seen


def silent_install(wine_run, installer, library, nphost, scenario, closer, work, prefix):
    dist = os.path.join(work, "dist")
    shutil.rmtree(dist, ignore_errors=True)
    os.makedirs(dist)
    shutil.copy(installer, dist)
    shutil.copy(library, dist)
    with open(os.path.join(dist, "options.txt"), "wb") as f:
        f.write(b"; preset for every desktop\r\naccess=8\r\n;mousemode=1\r\nallowscript=0\r\n"
                b"toolbaritems=.standard\r\nshowconfig=1\r\nshowresult=2\r\n")
    # Any message box or an unconfirmed dialog would wait for input: the
    # timeout is the proof that none appeared. The backdrop and the dialog
    # that confirms itself do appear, each once.
    stop, watchers = start_watchers(wine_run, closer, work)
    done = run(wine_run, ["mrvinstall.exe", "/s"], cwd=dist, timeout=90)
    seen = windows_seen(stop, watchers)
    check(seen == {"Mervane Plug-in V2.0.8 Setup": "1", "Mervane Plug-in Setup": "1"},
          f"backdrop and dialog shown once each: {seen}")
    check(done is not None, "mrvinstall /s finished without waiting for input")
    if done is None:
        return
    check(done.returncode == 0, f"mrvinstall /s exit {done.returncode}")

    folder = "C:\\Program Files\\KOB\\Mervane"
    installed = os.path.join(prefix, "drive_c", "Program Files", "KOB", "Mervane", "npmrv64.dll")
    check(os.path.isfile(installed), f"{installed} copied")
    if os.path.isfile(installed):
        with open(installed, "rb") as a, open(library, "rb") as b:
            check(a.read() == b.read(), "the installed library equals the distributed one")

    got = query(wine_run, REGISTRATION, recursive=True)
    want = expected_registration(folder + "\\npmrv64.dll")
    check(got == want, f"registration\n  got  {got}\n  want {want}")
    machine = query(wine_run, MACHINE_SETTINGS)
    check(machine == {"HKEY_LOCAL_MACHINE\\SOFTWARE\\KOB\\Mervane": {"installpath": ("REG_SZ", folder)}},
          f"machine settings {machine}")
    user = query(wine_run, USER_SETTINGS)
    want_user = {"access": ("REG_DWORD", "0x8"), "allowscript": ("REG_DWORD", "0x0"),
                 "toolbaritems": ("REG_SZ", ".standard")}
    check(user == {"HKEY_CURRENT_USER\\SOFTWARE\\KOB\\Mervane": want_user}, f"user settings {user}")

    # A browser given only the MIME type finds the installed copy.
    done = run(wine_run, [nphost, "--mime", "image/tiff", scenario], timeout=120)
    check(done is not None and done.returncode == 0,
          "nphost ran the installed plug-in: " + ("timeout" if done is None else done.stdout.decode(errors="replace")
                                                  + done.stderr.decode(errors="replace")))
    if done is not None:
        first = done.stdout.decode(errors="replace").splitlines()[:1]
        check(first and '"path":"C:\\\\Program Files\\\\KOB\\\\Mervane\\\\npmrv64.dll"' in first[0],
              f"nphost loaded the installed library: {first}")

    # "/cond" with the machine key present: exits at once, shows nothing
    # (no options.txt silences it here, so a dialog would time out).
    cond = os.path.join(work, "cond")
    shutil.rmtree(cond, ignore_errors=True)
    os.makedirs(cond)
    shutil.copy(installer, cond)
    done = run(wine_run, ["mrvinstall.exe", "/COND"], cwd=cond, timeout=60)
    check(done is not None and done.returncode == 0, "mrvinstall /cond exits at once on an installed machine")


def main():
    wine_run, installer, library, nphost, scenario, closer, work = sys.argv[1:8]
    prefix = os.environ.get("WINEPREFIX") or os.path.join(os.path.dirname(os.path.dirname(wine_run)), "build",
                                                          "wineprefix")
    os.makedirs(work, exist_ok=True)
    remove_all(wine_run, prefix)
    try:
        silent_install(wine_run, installer, library, nphost, scenario, closer, work, prefix)
    finally:
        # The plug-in's scenarios read the same settings keys.
        remove_all(wine_run, prefix)
        check(query(wine_run, USER_SETTINGS) is None, "user settings removed after the test")
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
