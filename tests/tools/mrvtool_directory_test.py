#!/usr/bin/env python3
"""mrvtool info on files made by ImageMagick and libtiff's tools, with tiffdump as the oracle
for the directory chain: every directory offset and NewSubfileType value, in order."""
import json
import os
import re
import subprocess
import sys
import tempfile

from checks import check, finish

mrvtool, fixtures_script = sys.argv[1], sys.argv[2]


def info(path, *args):
    run = subprocess.run([mrvtool, "info", "--json", *args, path], capture_output=True, text=True)
    return run.returncode, json.loads(run.stdout)


def tiffdump_chain(path):
    """(offset, NewSubfileType) of each directory on the main chain, as tiffdump reads them."""
    text = subprocess.run(["tiffdump", path], capture_output=True, text=True, check=True).stdout
    chain = []
    for block in re.split(r"(?=^Directory \d+: offset )", text, flags=re.M)[1:]:
        offset = int(re.match(r"Directory \d+: offset (\d+)", block).group(1))
        subfile = re.search(r"^SubFileType \(254\) LONG \(4\) 1<(\d+)>", block, flags=re.M)
        chain.append((offset, int(subfile.group(1)) if subfile else 0))
    return chain


with tempfile.TemporaryDirectory() as out:
    subprocess.run([fixtures_script, out], check=True)
    for name in sorted(os.listdir(out)):
        path = os.path.join(out, name)
        rc, ours = info(path)
        expected = tiffdump_chain(path)
        got = [(e["offset"], e["flags"]) for e in ours["ifds"]]
        check(f"{name}: directories as tiffdump lists them", got == expected, f"{got} != {expected}")
        shown = [e for e in ours["ifds"] if e["page"] >= 0]
        check(f"{name}: masks are not pages", all(e["flags"] & 4 == 0 for e in shown))
        check(f"{name}: exit code", rc == (0 if shown else 1), str(rc))

    for name in ("three-pages.tif", "three-pages-msb.tif", "three-pages-bigtiff.tif"):
        rc, ours = info(os.path.join(out, name))
        check(f"{name}: three pages", ours["pages"] == 3 and not ours["log"], str(ours))

    rc, ours = info(os.path.join(out, "with-reduced.tif"))
    check("reduced-resolution image is a page by default", ours["pages"] == 2)
    rc, ours = info(os.path.join(out, "with-reduced.tif"), "--ignore-special", "1")
    check("reduced-resolution image can be hidden", ours["pages"] == 1 and ours["ifds"][1]["page"] == -1)

    rc, ours = info(os.path.join(out, "mask-only.tif"))
    check("a lone mask yields no images", ours["pages"] == 0 and ours["log"] == ["Warning: No images found"])

finish()
