#!/usr/bin/env python3
"""mrvtool split over a scanned batch made at test time, checked with
tiffinfo and tiff2rgba; and every --json output against the plain text.

usage: mrvtool_split_test.py MRVTOOL BATCH_FIXTURE_SCRIPT
"""
import json
import os
import subprocess
import sys
import tempfile

from checks import check, finish
from pictures import page_picture, viewer_picture

mrvtool, fixture_script = sys.argv[1], sys.argv[2]


def tool(*arguments):
    run = subprocess.run([mrvtool, *arguments], capture_output=True, text=True)
    return run.returncode, run.stdout, run.stderr


def compressions(path):
    text = subprocess.run(["tiffinfo", path], capture_output=True, text=True).stdout
    return [line.split(":", 1)[1].strip() for line in text.splitlines() if "Compression Scheme" in line]


with tempfile.TemporaryDirectory() as work:
    fixtures = os.path.join(work, "fixtures")
    subprocess.run([fixture_script, fixtures], check=True, capture_output=True)
    batch = os.path.join(fixtures, "batch.tif")

    # Separators cut, blank backs dropped, the damaged page named, the rest written.
    out = os.path.join(work, "out")
    os.mkdir(out)
    code, text, errors = tool("split", "--separator-prefix", "SEP", "--drop-blank", "0.001", "--out-dir", out, batch)
    check("split exits 1 for the damaged page", code == 1, errors)
    check("split names the damaged page", "could not be read: 10" in errors, errors)
    expected = [("0001.tif", [1]), ("0002.tif", [4, 5]), ("0003.tif", [8, 9, 11])]
    lines = text.splitlines()
    for (name, pages), line in zip(expected, lines):
        want = f"{out}/{name}: pages {pages[0]}-{pages[-1]}, {len(pages)} page{'s' if len(pages) > 1 else ''}"
        check(f"line for {name}", line == want, f"{line!r} against {want!r}")
    check("summary", lines[-1] == "3 documents, 6 pages written, 2 separators, 2 blank pages dropped", lines[-1])
    check("only the documents written", sorted(os.listdir(out)) == [name for name, _ in expected],
          str(os.listdir(out)))
    for name, pages in expected:
        path = os.path.join(out, name)
        check(f"{name} passes tiffinfo", subprocess.run(["tiffinfo", path], capture_output=True).returncode == 0)
        schemes = compressions(path)
        check(f"{name} page count", len(schemes) == len(pages), str(schemes))
        for index, page in enumerate(pages):
            check(f"{name} page {page} pixels",
                  page_picture(path, index, work) == viewer_picture(mrvtool, batch, page, work))
    # Strips are carried over as they are; the CMYK page is re-encoded as the save writes colour pages.
    check("copied pages keep their compression", compressions(os.path.join(out, "0002.tif")) == ["CCITT Group 4"] * 2)
    check("grey LZW page copied", compressions(os.path.join(out, "0003.tif"))[0] == "LZW")
    check("CMYK page re-encoded as LZW", compressions(os.path.join(out, "0003.tif")) == ["LZW", "LZW", "CCITT Group 4"])

    # Names from the separators, made safe; the kept separator opens its document.
    named = os.path.join(work, "named")
    os.mkdir(named)
    code, text, errors = tool("split", "--separator-prefix", "SEP", "--name-from-barcode", "--keep-separators",
                              "--out-dir", named, batch)
    check("names from barcodes", sorted(os.listdir(named)) == ["0001.tif", "SEP-00421.tif", "SEP_2024_0815.tif"],
          str(os.listdir(named)))
    check("kept separator is the first page", f"{named}/SEP-00421.tif: pages 3-6, 4 pages" in text, text)

    # JSON carries what the text says.
    jsoned = os.path.join(work, "json")
    os.mkdir(jsoned)
    code, text, errors = tool("split", "--separator-prefix", "SEP", "--drop-blank", "0.001", "--json", "--out-dir",
                              jsoned, batch)
    result = json.loads(text)
    check("split --json documents", [(os.path.basename(d["file"]), d["first"], d["last"], d["pages"])
                                     for d in result["documents"]] ==
          [(name, pages[0], pages[-1], len(pages)) for name, pages in expected], text)
    check("split --json counts", (result["pages"], result["separators"], result["blank"], result["unreadable"])
          == (11, 2, 2, [10]), text)
    check("split --json copied pages", [d["copied"] for d in result["documents"]] == [1, 2, 2], text)

    code, text, _ = tool("barcodes", "--page", "3", batch)
    code, js, _ = tool("barcodes", "--page", "3", "--json", batch)
    values = json.loads(js)
    check("barcodes --json", values["barcodes"] == text.splitlines()[:-1] and
          f"{values['ink']:.6f}" == text.splitlines()[-1] and values["page"] == 3 and values["file"] == batch, js)
    code, text, _ = tool("blank", "--page", "2", batch)
    code, js, _ = tool("blank", "--page", "2", "--json", batch)
    check("blank --json", f"{json.loads(js)['ink']:.6f}" == text.strip(), js)
    code, text, _ = tool("omr", "--ref", "0,0,850,1100", "--box", "100,700,650,60", batch)
    code, js, _ = tool("omr", "--ref", "0,0,850,1100", "--box", "100,700,650,60", "--json", batch)
    values = json.loads(js)
    lines = text.splitlines()
    check("omr --json", f"found {values['found']}" == lines[0] and
          "corners " + " ".join(f"{x},{y}" for x, y in values["corners"]) == lines[1] and
          [f"{b:.6f}" for b in values["boxes"]] == lines[2:], js)
    bmp = os.path.join(work, "page.bmp")
    code, text, _ = tool("render", "--page", "8", "--out", bmp, batch)
    code, js, _ = tool("render", "--page", "8", "--json", "--out", bmp, batch)
    values = json.loads(js)
    check("render --json", f"size: {values['width']} x {values['height']}" in text and
          f"compression: {values['compression']}" in text and values["out"] == bmp and values["pages"] == 11, js)
    code, js, _ = tool("render", "--page", "10", "--json", "--out", bmp, batch)
    values = json.loads(js)
    check("render --json without a picture", code == 1 and values["out"] is None and values["log"], js)
    code, js, _ = tool("blank", "--page", "10", "--json", batch)
    check("analysis --json without a picture", code == 1 and "error" in json.loads(js), js)
    code, js, _ = tool("info", "--json", batch)
    check("info --json", json.loads(js)["pages"] == 11, js)

    # Bad input.
    plain = os.path.join(work, "plain")
    code, text, errors = tool("split", "--separator-prefix", "SEP", "--out-dir", plain, os.path.join(fixtures,
                                                                                                     "plain.tif"))
    check("missing output folder", code == 1 and plain in errors and not os.path.exists(plain), errors)
    os.mkdir(plain)
    code, text, errors = tool("split", "--separator-prefix", "SEP", "--out-dir", plain, os.path.join(fixtures,
                                                                                                     "plain.tif"))
    check("no separators: one document", code == 0 and os.listdir(plain) == ["0001.tif"] and
          "1 document, 3 pages written" in text, text + errors)
    only = os.path.join(work, "only")
    os.mkdir(only)
    code, text, errors = tool("split", "--separator-prefix", "SEP", "--out-dir", only,
                              os.path.join(fixtures, "separators.tif"))
    check("only separators", code == 0 and os.listdir(only) == [] and
          text.strip() == "0 documents, 0 pages written, 2 separators, 0 blank pages dropped", text + errors)
    many = os.path.join(work, "many.tif")
    subprocess.run(["convert", "-size", "120x80", "xc:white", "-fill", "black", "-draw", "rectangle 10,10 60,60",
                    "-type", "bilevel", "-compress", "Group4", os.path.join(work, "small.tif")], check=True)
    subprocess.run(["tiffcp", *[os.path.join(work, "small.tif")] * 2000, many], check=True)
    big = os.path.join(work, "big")
    os.mkdir(big)
    code, text, errors = tool("split", "--out-dir", big, many)
    check("2,000 pages", code == 0 and text.strip().endswith("1 document, 2000 pages written, 0 separators, "
                                                             "0 blank pages dropped"), text[-200:] + errors)
    for arguments in (["split", batch], ["split", "--drop-blank", "2", "--out-dir", out, batch],
                      ["split", "--drop-blank", "x", "--out-dir", out, batch], ["render", "--jsn", batch]):
        code, _, errors = tool(*arguments)
        check(f"bad usage {arguments[1]}", code == 2, errors)
    code, text, _ = tool("--help")
    check("help names the exit codes", "exit codes:" in text and "2  bad usage" in text)

finish()
