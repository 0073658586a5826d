#!/usr/bin/env python3
"""mrvtool barcodes, blank and omr on pages made by zint and ImageMagick
(tests/data/make_barcode_fixtures.sh and make_omr_fixtures.sh, run by ctest first)."""
import os
import subprocess
import sys
import tempfile

from checks import check, finish

mrvtool, fixtures = sys.argv[1], sys.argv[2]
barcodes, forms = os.path.join(fixtures, "barcodes"), os.path.join(fixtures, "omr")


def run(*args):
    done = subprocess.run([mrvtool, *args], capture_output=True, text=True)
    return done.returncode, done.stdout.split("\n")[:-1], done.stderr


def texts_and_ink(*args):
    rc, lines, err = run("barcodes", *args)
    return rc, lines[:-1], float(lines[-1]) if lines else None


rc, texts, ink = texts_and_ink(os.path.join(barcodes, "a4_300.tif"))
check("300 dpi page", rc == 0 and texts == ["Sep/Invoice-77;x"] and 0 < ink < 0.01, (rc, texts, ink))
rc, texts, ink = texts_and_ink("--region", "880,480,300,100", os.path.join(barcodes, "four.tif"))
check("region", texts == ["right"] and ink > 0.1, (texts, ink))

# Start B symbols in which zint switches code sets, read from the files zint
# writes itself (its own quiet zones and text line): zint arguments after its
# Code 128 defaults, the text. Lines are split at line feeds only, since a
# misread may well hold a character that Python takes for a line end.
SWITCHING = [
    (["-d", "MRV-4711/ab"], "MRV-4711/ab"),  # a digit run in the middle: Code C, then Code B
    (["-d", "AB123456"], "AB123456"),  # a run at the end
    (["-d", "AB12345CD"], "AB12345CD"),  # an odd run: its first digit stays in set B
    (["--esc", "-d", r"ab\tcd"], "ab\tcd"),  # Shift: one set A character
    (["--esc", "-d", r"ab\x01\x02\x03\x04cd"], "ab\x01\x02\x03\x04cd"),  # Code A, then set A's Code B
    (["--esc", "-d", r"ab\x01\x021234\x03\x04"], "ab\x01\x021234\x03\x04"),  # set A to C and C to A
    (["-d", "Größe 12345678"], "Größe 12345678"),  # FNC4 before each Latin-1 letter
    (["-d", "äöüéèàa1234"], "äöüéèàa1234"),  # two FNC4 hold Latin-1 until two more
    (["-b", "GS1_128", "-d", "[10]AB12[21]x"], "10AB1221x"),  # FNC1 in sets B and C gives no character
]
with tempfile.TemporaryDirectory() as work:
    symbol = os.path.join(work, "symbol.tif")
    for args, expected in SWITCHING:
        subprocess.run(["zint", "-b", "CODE128", "--quietzones", "--filetype=TIF", "-o", symbol, *args], check=True)
        rc, texts, _ = texts_and_ink(symbol)
        check(f"code sets {expected!r}", rc == 0 and texts == [expected], (rc, texts))

with tempfile.TemporaryDirectory() as work:
    # Page 2 of a two-page file.
    both = os.path.join(work, "both.tif")
    subprocess.run(["tiffcp", os.path.join(barcodes, "a4_200.tif"), os.path.join(barcodes, "twice.tif"), both],
                   check=True)
    rc, texts, _ = texts_and_ink("--page", "2", both)
    check("--page", texts == ["SEPARATOR"], texts)
    rc, lines, err = run("barcodes", "--page", "3", both)
    check("missing page", rc == 1 and "no page 3" in err, err)

rc, lines, _ = run("blank", os.path.join(forms, "blank.tif"))
check("blank page", rc == 0 and lines == ["0.000000"], lines)
rc, lines, _ = run("blank", os.path.join(forms, "half_black.tif"))
check("half black", rc == 0 and abs(float(lines[0]) - 827 / 1653) < 1e-6, lines)

boxes = ["--box", "310,810,80,80", "--box", "510,810,80,80", "--box", "710,810,80,80"]


def marks(name):
    rc, lines, err = run("omr", "--ref", "100,100,1400,1900", *boxes, os.path.join(forms, name))
    return rc, lines, err


for name in ["form.tif", "form_margin.tif"]:
    rc, lines, err = marks(name)
    ok = rc == 0 and lines[0] == "found 1" and len(lines) == 5
    check(f"{name} calibrated", ok, lines)
    if ok:
        # The marks' outer corners: reference 100 and 1500 (x), 100 and 2000 (y), 1.02 x + 13, 1.02 y + 21.
        expected = [(115, 123), (1542, 123), (1542, 2060), (115, 2060)]
        corners = [tuple(map(int, c.split(","))) for c in lines[1].split()[1:]]
        check(f"{name} corners", all(abs(a - b) <= 1 and abs(c - d) <= 1
                                     for (a, c), (b, d) in zip(corners, expected)), corners)
        filled, half, empty = map(float, lines[2:])
        check(f"{name} boxes", filled > 0.98 and abs(half - 0.5) < 0.03 and empty < 0.02, lines[2:])
rc, lines, _ = marks("form_three_marks.tif")
check("three marks", rc == 0 and lines[0] == "found 0" and lines[2:] == ["0.000000"] * 3, lines)
rc, lines, _ = marks("form_grey.tif")
check("grey page leaves no calibration", rc == 0 and lines[0] == "found 0" and lines[2:] == ["0.000000"] * 3, lines)

rc, _, err = run("omr", "--box", "1,2,3", os.path.join(forms, "form.tif"))
check("bad box", rc == 2 and "bad value" in err, err)
rc, _, err = run("omr", os.path.join(forms, "form.tif"))
check("no reference", rc == 2, err)
rc, _, err = run("blank", os.path.join(forms, "no_such_file.tif"))
check("missing file", rc == 1 and "Unable to read file" in err, err)

finish()
