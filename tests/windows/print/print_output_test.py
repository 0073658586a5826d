#!/usr/bin/env python3
"""Prints through the viewer onto Wine's PostScript printers and measures what
came out: each job's PostScript is rendered by Ghostscript at the printer's
300 dpi, so one rendered pixel is one device pixel.

usage: print_output_test.py WINE_RUN PRINT_SETUP_EXE PRINT_PROBE_EXE OUT_DIR
"""
import glob
import json
import os
import shutil
import subprocess
import sys

DPI = 300
OFFSET = 75  # the driver's unprintable margin, a quarter inch
A4 = (2480, 3508)
NO_PRINTER = "Unable to print. Your computer has no default printer."

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)
    return condition


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height]


class Page:
    def __init__(self, path):
        self.width, self.height, self.pixels = read_pgm(path)

    def black(self, x, y):
        return self.pixels[y * self.width + x] < 128

    def bbox(self):
        """left, top, right, bottom (exclusive) of the dark pixels, or None."""
        rows = [y for y in range(self.height) if min(self.pixels[y * self.width:(y + 1) * self.width]) < 128]
        if not rows:
            return None
        top, bottom = rows[0], rows[-1] + 1
        left, right = self.width, 0
        for y in range(top, bottom):
            row = self.pixels[y * self.width:(y + 1) * self.width]
            dark = [x for x in range(self.width) if row[x] < 128]
            if dark:
                left, right = min(left, dark[0]), max(right, dark[-1] + 1)
        return left, top, right, bottom

    def band_number(self, x, top):
        """The page number shown as a band of n tenths of an inch at the page's top."""
        y = top
        while y < self.height and self.black(x, y):
            y += 1
        return round((y - top) / (DPI / 10))


def render(ps, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pgmraw", f"-r{DPI}",
                    f"-sOutputFile={folder}/p%03d.pgm", ps], check=True, timeout=300)
    return [Page(p) for p in sorted(glob.glob(f"{folder}/p*.pgm"))]


def page_count(ps):
    with open(ps, "rb") as f:
        return sum(1 for line in f if line.startswith(b"%%Page:"))


class Run:
    def __init__(self, wine_run, setup, probe, out):
        self.wine_run, self.setup, self.probe, self.out = wine_run, setup, probe, out
        self.duplex_ps = os.path.join(out, "duplex.ps")
        self.simplex_ps = os.path.join(out, "simplex.ps")

    def wine(self, *args):
        return subprocess.run([self.wine_run, *args], capture_output=True, timeout=300)

    def probe_case(self, case, printer=None):
        for ps in (self.duplex_ps, self.simplex_ps):
            if os.path.exists(ps):
                os.remove(ps)
        args = [self.probe, case] + ([printer] if printer else [])
        done = self.wine(*args)
        text = done.stdout.decode(errors="replace").strip().splitlines()
        if not check(done.returncode == 0 and text, f"{case}: probe exit {done.returncode} "
                     f"{done.stderr.decode(errors='replace')[-500:]}"):
            return None
        report = json.loads(text[-1])
        print(case, json.dumps(report))
        check(report["busy_after"] == 0, f"{case}: the printing flag is cleared")
        return report

    def printed(self, case, ps=None):
        ps = ps or self.duplex_ps
        if not check(os.path.exists(ps), f"{case}: {os.path.basename(ps)} was written"):
            return [], 0
        return render(ps, os.path.join(self.out, case)), page_count(ps)


def near(value, expected, tolerance=1):
    return abs(value - expected) <= tolerance


def check_true_size(run):
    report = run.probe_case("a5")
    pages, _ = run.printed("a5")
    if not report or not check(len(pages) == 1, "a5: one page"):
        return
    check(report["result"] == 1, "a5: printed")
    check(report["statuses"][-2:] == ["  Printing page 1 (1 of 1)", ""], f"a5: progress {report['statuses']}")
    left, top, right, bottom = pages[0].bbox()
    # 1165 x 1654 pixels at 200 dpi are 1747.5 x 2481 device pixels.
    check(near(left, OFFSET) and near(top, OFFSET), f"a5: at the printable area's corner, got {left},{top}")
    check(near(right - left, 1747.5), f"a5: true width, got {right - left}")
    check(near(bottom - top, 2481), f"a5: true height, got {bottom - top}")


def check_centred(run):
    report = run.probe_case("a5-center")
    pages, _ = run.printed("a5-center")
    if not report or not pages:
        return
    left, top, right, bottom = pages[0].bbox()
    check(near(left + right, A4[0], 2) and near(top + bottom, A4[1], 2),
          f"a5-center: centred on the sheet, got {left},{top},{right},{bottom}")
    check(near(right - left, 1747.5), f"a5-center: still true width, got {right - left}")


def check_rotated(run):
    report = run.probe_case("rotate")
    pages, _ = run.printed("rotate")
    if not report or not pages:
        return
    page = pages[0]
    left, top, right, bottom = page.bbox()
    # Upright it would be fitted to the width (197 mm); turned it prints at true size, standing.
    check(near(right - left, 1747.5) and near(bottom - top, 2481), f"rotate: turned at true size, got "
          f"{right - left} x {bottom - top}")
    # Turned clockwise, the picture's top-left inch lies at the top right.
    check(not page.black(right - 150, top + 150), "rotate: white-out at the turned top-right")
    check(page.black(left + 150, top + 150), "rotate: black at the turned top-left")
    check(page.black(right - 150, bottom - 150), "rotate: black at the turned bottom-right")


def check_marks(run):
    report = run.probe_case("marks")
    pages, _ = run.printed("marks")
    if not report or not pages:
        return
    page = pages[0]
    left, top, right, bottom = page.bbox()
    # The crop leaves half an inch (150 device pixels) of white paper around.
    check(near(left, OFFSET + 150) and near(top, OFFSET + 150), f"marks: crop's edge, got {left},{top}")
    check(near(right, OFFSET + 1597, 2), f"marks: crop's right edge, got {right}")
    check(not page.black(OFFSET + 450, OFFSET + 450), "marks: white-out printed white")
    check(page.black(OFFSET + 250, OFFSET + 250), "marks: black between crop edge and white-out")


def numbers(pages):
    out = []
    for page in pages:
        box = page.bbox()
        out.append(page.band_number(box[0] + 600, box[1]) if box else 0)
    return out


def check_copies(run):
    expected = {"collated": [1, 2, 1, 2, 1, 2], "uncollated": [1, 1, 1, 2, 2, 2], "single-copies": [1, 2]}
    last = {"collated": "  Printing page 2 of 2 (copy 3 of 3)", "uncollated": "  Printing page 2 of 2 (copy 3 of 3)",
            "single-copies": "  Printing page 2 (2 of 2)"}
    for case, order in expected.items():
        report = run.probe_case(case)
        pages, count = run.printed(case)
        if not report:
            continue
        check(report["result"] == 1, f"{case}: printed")
        check(count == len(order), f"{case}: {len(order)} pages in the PostScript, got {count}")
        check(numbers(pages) == order, f"{case}: page order {order}, got {numbers(pages)}")
        check(report["statuses"][-2:] == [last[case], ""], f"{case}: progress {report['statuses'][-2:]}")


def check_range(run):
    # Pages 5-6 of 6 through the classic dialog (Wine's extended one returns no
    # ranges); the dialog itself refuses numbers beyond the document.
    report = run.probe_case("range")
    pages, count = run.printed("range")
    if not report:
        return
    check(count == 2 and numbers(pages) == [5, 6], f"range: pages 5 and 6, got {numbers(pages)}")
    check("  Printing page 6 (2 of 2)" in report["statuses"], f"range: selected total 2, {report['statuses']}")


def check_refusals(run):
    report = run.probe_case("second-request")
    if report:
        check(report["second"] == 0, "second-request: refused while the dialog is open")
        check(report["result"] == 0, "second-request: the cancelled dialog prints nothing")
        check(not os.path.exists(run.duplex_ps), "second-request: nothing printed")
    report = run.probe_case("page-kind-4")
    if report:
        check(report["completions"] == [0], f"page-kind-4: completion with 0, got {report['completions']}")
        check(not os.path.exists(run.duplex_ps), "page-kind-4: nothing printed")


def check_back_side(run):
    report = run.probe_case("back-side")
    pages, count = run.printed("back-side")
    if report:
        check(count == 3 and numbers(pages) == [1, 0, 2], f"back-side on duplex: empty side, got {numbers(pages)}")
    report = run.probe_case("back-side", "Mervane Simplex")
    pages, count = run.printed("back-side-simplex", run.simplex_ps)
    if report:
        check(count == 2 and numbers(pages) == [1, 2], f"back-side on simplex: no empty side, got {numbers(pages)}")


def check_embedded(run):
    """The browser's own print context gets the page at its rectangle, in its shape, with its marks."""
    report = run.probe_case("embedded")
    if not report:
        return
    check(report["result"] == 1, "embedded: drawn")
    # GetPixel answers 0x00BBGGRR: white-out white, page black, outside grey.
    expected = ["15,25=FFFFFF", "35,45=000000", "209,119=000000", "210,119=808080", "209,120=808080",
                "9,50=808080", "100,60=000000"]
    check(report["samples"] == expected, f"embedded: {report['samples']}")


def main():
    wine_run, setup, probe, out = sys.argv[1:5]
    os.makedirs(out, exist_ok=True)
    run = Run(wine_run, setup, probe, out)
    # Without printers first: the quick print names the reason.
    run.wine(setup, "remove")
    report = run.probe_case("no-default")
    if report:
        check(report["result"] == 0 and report["boxes"] == [NO_PRINTER], f"no-default: {report['boxes']}")
    done = run.wine(setup, "add", os.path.abspath(run.duplex_ps), os.path.abspath(run.simplex_ps))
    described = done.stdout.decode(errors="replace")
    if not check(done.returncode == 0, f"print_setup: {done.stderr.decode(errors='replace')}"):
        return 1
    print(described.strip())
    check("Mervane Simplex duplex=0" in described, "the second printer has no duplex")
    check("Mervane Duplex duplex=1" in described, "the first printer has duplex")
    check_embedded(run)
    for test in (check_true_size, check_centred, check_rotated, check_marks, check_copies, check_range,
                 check_refusals, check_back_side):
        test(run)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
