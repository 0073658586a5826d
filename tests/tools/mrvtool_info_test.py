#!/usr/bin/env python3
"""mrvtool info against libtiff's own test images: loops, SubIFD chains, exit codes."""
import json
import subprocess
import sys
import tempfile
import os

from checks import check, finish

mrvtool, images = sys.argv[1], sys.argv[2]


def info(*args):
    run = subprocess.run([mrvtool, "info", "--json", *args], capture_output=True, text=True)
    return run.returncode, json.loads(run.stdout)


rc, loop = info(os.path.join(images, "test_ifd_loop_to_first.tif"))
check("loop exit code", rc == 0)
check("loop reported once", loop["log"].count("Warning: IFD loop or duplicate IFD detected") == 1)
offsets = [e["offset"] for e in loop["ifds"]]
check("loop directories listed once", len(offsets) == len(set(offsets)) and loop["pages"] == len(offsets))

rc, self_loop = info(os.path.join(images, "test_ifd_loop_to_self.tif"))
check("self loop lists one directory", rc == 0 and len(self_loop["ifds"]) == 1)

chain = os.path.join(images, "tiff_with_subifd_chain.tif")
rc, sub = info(chain)
flags = [e["flags"] for e in sub["ifds"]]
check("subifd chain shape", flags[0] & 0x10000000 == 0 and flags[1] & 0x10000000 and flags[2] & 0x10000000)
check("subifd pages", sub["pages"] == len(sub["ifds"]))
rc, hidden = info("--ignore-special", "2", chain)
main_chain = sum(1 for f in flags if not f & 0x10000000)
check("--ignore-special 2 drops subifds", hidden["pages"] == main_chain and rc == 0)
for bad in ("x", "1x", "4", "-1", ""):
    run = subprocess.run([mrvtool, "info", "--ignore-special", bad, chain], capture_output=True, text=True)
    check(f"--ignore-special {bad!r} refused", run.returncode == 2 and "bad value" in run.stderr, run.stderr)

rc, two = info(os.path.join(images, "test_two_ifds.tif"))
check("two ifds", rc == 0 and two["pages"] == 2 and two["errors"] == 0)

with tempfile.NamedTemporaryFile(suffix=".tif", delete=False) as f:
    f.write(b"hello\n\tworld")
rc, text = info(f.name)
os.unlink(f.name)
check("text file refused", rc == 1 and text["pages"] == 0 and
      text["log"] == ["Error: Not a TIFF file. File contents: hello  world"])

finish()
