#!/usr/bin/env python3
"""The 32-bit install launcher under Wine, in a prefix of its own.

Where the processor refuses 32-bit code, 32-bit programs run through
qemu-i386: the test registers qemu's binfmt handler for the time it runs and
unregisters it on every way out (ctest runs nothing else meanwhile, since every
Wine program would start through qemu while the handler is there).

1. Started from a folder without "mrvtiff.ocx", the launcher shows its Thai
   not-found message once (closed from outside) and ends.
2. Beside a small control of ours named "mrvtiff.ocx", it copies the control to
   c:\\windows\\system32 (which for a 32-bit program is syswow64) and starts
   regsvr32, whose registration appears under Wow6432Node.

usage: launcher_test.py MRVLAUNCH_EXE CONTROL_OCX WINDOW_CLOSER_EXE PREFIX WORK_DIR
"""
import fcntl
import os
import shutil
import signal
import subprocess
import sys
import time

HANDLER = "/proc/sys/fs/binfmt_misc/qemu-i386"
QEMU = "/usr/bin/qemu-i386-static"
REGISTRATION = (b":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:"
                b"\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:"
                + QEMU.encode() + b":F")
CONTROL_KEY = r"HKLM\Software\Classes\Wow6432Node\CLSID\{6D2A51E0-3C1B-4E7A-9F11-4D4552564E31}\InprocServer32"
NOT_FOUND = "\u0e44\u0e21\u0e48\u0e1e\u0e1a\u0e44\u0e1f\u0e25\u0e4c mrvtiff.ocx"
WINE64 = "/usr/lib/wine/wine64"
OWN_LIMIT = 1500  # seconds; below ctest's limit, so the handler is always taken away here

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, flush=True)


class OutOfTime(Exception):
    pass


def out_of_time(signum, frame):
    raise OutOfTime(f"signal {signum}")


def runs_32bit_natively():
    try:
        return subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True, timeout=30).returncode == 0
    except OSError:
        return False


def register_handler():
    if not os.path.ismount("/proc/sys/fs/binfmt_misc"):
        subprocess.run(["mount", "-t", "binfmt_misc", "binfmt_misc", "/proc/sys/fs/binfmt_misc"], check=True)
    if not os.path.exists(HANDLER):
        with open("/proc/sys/fs/binfmt_misc/register", "wb") as f:
            f.write(REGISTRATION)


def unregister_handler():
    if os.path.exists(HANDLER):
        with open(HANDLER, "w") as f:
            f.write("-1")


def run_to_end(command, env, log, cwd=None, timeout=400):
    """Runs a Wine program and waits for the process itself, not for its output
    to close: a service Wine starts on the program's behalf (the desktop, the
    device manager) inherits the output and may hold it open long after the
    program ended. Returns the exit code, or None when it did not end."""
    with open(log, "wb") as out:
        process = subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            return None


def reg_query(env, key):
    done = subprocess.run([WINE64, "reg", "query", key, "/reg:64"], capture_output=True, env=env, timeout=120)
    return done.stdout.decode("latin-1") if done.returncode == 0 else None


def make_prefix(env, prefix):
    """The prefix is made by the 32-bit front end, so that its 32-bit half is
    set up (through qemu where needed); it is kept between runs."""
    ready = os.path.join(prefix, ".mervane-ready")
    if os.path.exists(ready):
        return
    shutil.rmtree(prefix, ignore_errors=True)
    subprocess.run(["wine", "wineboot", "-i"], env=env, capture_output=True, timeout=OWN_LIMIT)
    subprocess.run(["wineserver", "-w"], env=env, capture_output=True, timeout=120)
    for value in (["HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0"],
                  ["HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N"]):
        subprocess.run([WINE64, "reg", "add"] + value + ["/f"], env=env, capture_output=True, timeout=120)
    open(ready, "w").close()


def not_found_message(launcher, closer, env, work):
    folder = os.path.join(work, "without-control")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(launcher, folder)
    stop = os.path.join(work, "stop-closer")
    if os.path.exists(stop):
        os.remove(stop)
    closer_log = os.path.join(work, "closer.log")
    with open(closer_log, "wb") as out:
        closing = subprocess.Popen([WINE64, closer, "mrvlaunch", stop, "600"], stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=subprocess.DEVNULL, env=env)
    started = time.time()
    code = run_to_end(["wine", "mrvlaunch.exe"], env, os.path.join(work, "without-control.log"), cwd=folder)
    check(code == 0, f"launcher without the control: exit {code}" if code is not None
          else "launcher without the control did not end")
    print(f"launcher without the control ran {time.time() - started:.0f} s", flush=True)
    time.sleep(3)  # a second box, were there one, would show now
    open(stop, "w").close()
    closing.wait(timeout=120)
    with open(closer_log, "rb") as f:
        output = f.read().decode()
    boxes = [bytes.fromhex(line.split()[1]).decode("utf-16-le") for line in output.splitlines()
             if line.startswith("box ") and len(line.split()) == 2]
    check(boxes == [NOT_FOUND], f"one not-found box: {boxes!r}")


def installs_control(launcher, control, env, work, prefix):
    folder = os.path.join(work, "with-control")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(launcher, folder)
    shutil.copy(control, os.path.join(folder, "mrvtiff.ocx"))
    installed = os.path.join(prefix, "drive_c", "windows", "syswow64", "mrvtiff.ocx")
    if os.path.exists(installed):
        os.remove(installed)
    subprocess.run([WINE64, "reg", "delete", CONTROL_KEY.rsplit("\\", 1)[0], "/f", "/reg:64"], env=env,
                   capture_output=True, timeout=120)
    code = run_to_end(["wine", "mrvlaunch.exe"], env, os.path.join(work, "with-control.log"), cwd=folder)
    check(code == 0, f"launcher with the control: exit {code}" if code is not None
          else "launcher with the control did not end")
    # regsvr32 was started without waiting: give it its time.
    value = None
    for _ in range(120):
        value = reg_query(env, CONTROL_KEY)
        if value:
            break
        time.sleep(2)
    check(value is not None and "mrvtiff.ocx" in value.lower(), f"control registered under Wow6432Node: {value!r}")
    check(os.path.isfile(installed), f"{installed} copied")
    if os.path.isfile(installed):
        with open(installed, "rb") as a, open(control, "rb") as b:
            check(a.read() == b.read(), "the copied control equals the shipped one")
    check(not os.path.exists(os.path.join(prefix, "drive_c", "windows", "system32", "mrvtiff.ocx")),
          "nothing landed in the 64-bit system folder")


def main():
    launcher, control, closer, prefix, work = (os.path.abspath(arg) for arg in sys.argv[1:6])
    for needed in (launcher, control, closer):
        if not os.path.isfile(needed):
            print(f"missing {needed}: build the win32 preset first")
            return 1
    os.makedirs(work, exist_ok=True)
    env = {name: value for name, value in os.environ.items() if name != "WINELOADER"}
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
               QEMU_RESERVED_VA="0x82000000")
    through_qemu = not runs_32bit_natively()
    if through_qemu and (os.geteuid() != 0 or not os.path.exists(QEMU)):
        print(f"32-bit code needs {QEMU} and root to register it (scripts/bootstrap installs qemu-user-static)")
        return 1

    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP, signal.SIGALRM):
        signal.signal(signum, out_of_time)
    signal.alarm(OWN_LIMIT)
    # One launcher test on the machine at a time: the handler is machine-wide.
    lock = open("/tmp/mervane-qemu-i386.lock", "w")
    fcntl.flock(lock, fcntl.LOCK_EX)
    try:
        if through_qemu:
            register_handler()
        started = time.time()
        make_prefix(env, prefix)
        # The server outlives this call: it must not hold our pipes open.
        subprocess.run(["wineserver", "-p"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        print(f"prefix ready after {time.time() - started:.0f} s", flush=True)
        not_found_message(launcher, closer, env, work)
        installs_control(launcher, control, env, work, prefix)
    except (OutOfTime, subprocess.TimeoutExpired) as stopped:
        check(False, f"stopped before the end: {stopped}")
    finally:
        signal.alarm(0)
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True, timeout=60)
        if through_qemu:
            unregister_handler()
        fcntl.flock(lock, fcntl.LOCK_UN)
    check(not os.path.exists(HANDLER) or not through_qemu, "the qemu handler is unregistered")
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
