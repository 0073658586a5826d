#!/usr/bin/env python3
"""mrvtool dump against libtiff's tiffdump on files made by ImageMagick and
libtiff's tools and on libtiff's own test images; the Rich Text form is read
back with a small RTF reader and must give the plain-text form exactly."""
import json
import os
import re
import subprocess
import sys
import tempfile

from checks import check, finish

mrvtool, images, fixture_script = sys.argv[1], sys.argv[2], sys.argv[3]


def run(*args):
    return subprocess.run(list(args), capture_output=True)


# --- tiffdump ---------------------------------------------------------------

DIRECTORY = re.compile(r"^Directory \d+: offset (\d+) ")
# "Name (256) SHORT (3) 1<...>" or, for tags without a name, "433 (0x1b1) SRATIONAL (10) 3<...>".
ENTRY = re.compile(r"^(?:.*? \((\d+)\)|(\d+) \(0x[0-9a-f]+\)) [A-Z0-9_]+ \((\d+)\) (\d+)<(.*)>$")
CHILD_TAGS = {330, 400, 34665, 34853, 40965}


def tiffdump(path, offset=None):
    """{directory offset: [(tag, type, count)]} and the child offsets found."""
    args = ["tiffdump", "-m", "1000"] + (["-o", str(offset)] if offset is not None else []) + [path]
    text = run(*args).stdout.decode("latin-1")
    directories, children, current = {}, [], None
    for line in text.splitlines():
        m = DIRECTORY.match(line)
        if m:
            current = int(m.group(1))
            directories[current] = []
            continue
        m = ENTRY.match(line)
        if m and current is not None:
            tag = int(m.group(1) or m.group(2))
            directories[current].append((tag, int(m.group(3)), int(m.group(4))))
            if tag in CHILD_TAGS and int(m.group(4)) <= 1000:
                children += [int(v, 0) for v in m.group(5).split() if v != "..."]
    return directories, children


def tiffdump_all(path):
    """The main chain and every directory reached through the child tags."""
    directories, pending = tiffdump(path)
    while pending:
        offset = pending.pop()
        if offset in directories or offset == 0:
            continue
        more, children = tiffdump(path, offset)
        if offset in more:
            directories[offset] = more[offset]
        pending += children
    return directories


# --- our dump ---------------------------------------------------------------

def dump(path, *options):
    r = run(mrvtool, "dump", *options, path)
    return r.returncode, r.stdout.decode("utf-8")


def parse_ours(text):
    """{offset: {"count": n, "entries": [(tag, type, count, position)]}} in order of appearance."""
    directories, current = {}, None
    for line in text.split("\n"):
        if line.startswith("TIFF image at offset "):
            current = {"count": None, "entries": []}
            directories[int(line[21:])] = current
        elif line.startswith("Number of tags: ") and current is not None:
            current["count"] = int(line[16:])
        elif line.startswith("\u2022\t") and current is not None:
            columns = line.split("\t")
            count = int(columns[4].split("\u00d7")[0])
            current["entries"].append((int(columns[3].split(":")[0]), int(columns[2].split(":")[0]), count,
                                       int(columns[1])))
    return directories


# --- Rich Text reader -------------------------------------------------------

TOKEN = re.compile(rb"\\([a-z]+)(-?\d+)? ?|\\'([0-9a-f]{2})|\\([\\{}])|\\(.)|([{}])|(\r\n|\r|\n)|([^\\{}\r\n]+)",
                   re.S)
SKIPPED = {b"fonttbl", b"colortbl"}
SYMBOLS = {b"par": "\n", b"tab": "\t", b"bullet": "\u2022"}


def read_rtf(data):
    """Plain text, coloured runs [(colour, text)] and the problems found."""
    problems, runs, out = [], [], []
    depth, skip_depth, colour, pos = 0, None, 0, 0
    if not data.startswith(b"{\\rtf1"):
        problems.append("no \\rtf1 header")

    def emit(text):
        if skip_depth is None:
            out.append(text)
            if runs and runs[-1][0] == colour:
                runs[-1] = (colour, runs[-1][1] + text)
            else:
                runs.append((colour, text))

    while pos < len(data):
        m = TOKEN.match(data, pos)
        pos = m.end()
        word, number, hexa, escaped, other, brace, newline, text = m.groups()
        if brace == b"{":
            depth += 1
        elif brace == b"}":
            depth -= 1
            if depth < 0:
                problems.append("unbalanced closing brace")
            if skip_depth is not None and depth < skip_depth:
                skip_depth = None
            if depth == 0 and pos != len(data) and data[pos:].strip():
                problems.append("text after the document")
        elif word:
            if word in SKIPPED:
                skip_depth = depth
            elif word == b"cf":
                colour = int(number)
            elif word in SYMBOLS:
                emit(SYMBOLS[word])
        elif hexa:
            emit(bytes([int(hexa, 16)]).decode("cp1252"))
        elif escaped:
            emit(escaped.decode())
        elif other:
            problems.append(f"unknown control symbol {other!r}")
        elif text:
            emit(text.decode("cp1252"))
    if depth != 0:
        problems.append(f"group depth {depth} at the end")
    return "".join(out), runs, problems


# --- the checks -------------------------------------------------------------

def compare_with_tiffdump(name, path):
    reference = tiffdump_all(path)
    rc, text = dump(path)
    ours = parse_ours(text)
    check(f"{name}: exit code", rc == 0)
    check(f"{name}: tiffdump found directories", len(reference) > 0)
    for offset, entries in reference.items():
        mine = ours.get(offset)
        check(f"{name}: directory {offset} dumped", mine is not None)
        if mine is None:
            continue
        check(f"{name}: directory {offset} entry count", mine["count"] == len(entries))
        shown = [(tag, typ, count) for tag, typ, count, _ in mine["entries"]]
        check(f"{name}: directory {offset} entries", shown == entries[:200])
    return text, ours


def check_rich_text(name, path, plain):
    rc, _ = dump(path, "--rtf")
    data = run(mrvtool, "dump", "--rtf", path).stdout
    text, runs, problems = read_rtf(data)
    check(f"{name}: rich text parses ({problems[:3]})", rc == 0 and not problems)
    check(f"{name}: rich text gives the plain text", text == plain)
    return runs


with tempfile.TemporaryDirectory() as fixtures:
    subprocess.run(["bash", fixture_script, fixtures], check=True)
    samples = [(f, os.path.join(fixtures, f)) for f in sorted(os.listdir(fixtures))]
    samples += [(f, os.path.join(images, f)) for f in
                ["custom_dir_EXIF_GPS.tiff", "tiff_with_subifd_chain.tif", "test_two_ifds.tif",
                 "ojpeg_chewey_subsamp21_multi_strip.tiff", "quad-tile.jpg.tiff", "testfax4.tiff"]]
    texts = {}
    for name, path in samples:
        texts[name], parsed = compare_with_tiffdump(name, path)
        texts[name + "/parsed"] = parsed
        runs = check_rich_text(name, path, texts[name])
        texts[name + "/runs"] = runs

    for name in ["bigtiff.tif", "bigtiff_be.tif"]:
        text, parsed = texts[name], texts[name + "/parsed"]
        check(f"{name}: BigTIFF named", "File format: BigTIFF\n" in text)
        # 20-byte entries after an 8-byte count: the first value field is 8 + 12 bytes in.
        first = next(iter(parsed.items()))
        check(f"{name}: 64-bit layout", first[1]["entries"][0][3] == first[0] + 8 + 12)
    check("classic layout", next(iter(texts["three_pages.tif/parsed"].items()))[1]["entries"][0][3] ==
          next(iter(texts["three_pages.tif/parsed"])) + 2 + 8)

    gray = texts["gray_lzw.tif"]
    check("page number", "\t2, 5 (page 3 of 5)\n" in gray)
    check("tab in the description",
          "\u201cScan\\09of page two, for the archive\u201d" in gray)
    check("tab shown in colour 2", (2, "\\09") in texts["gray_lzw.tif/runs"])
    check("unsorted tags warned once", texts["unsorted.tif"].count("Warning: Tags not in ascending numerical order.")
          == 1)
    check("odd offset warned", "TIFF image at offset 9\nWarning: Offset should be an even number.\n"
          in texts["odd_offset.tif"])
    hundred = texts["three_hundred.tif"]
    check("300 entries cut at 200", "Warning: Excessive number of tags. Only displaying the first 200." in hundred
          and len(texts["three_hundred.tif/parsed"][8]["entries"]) == 200)
    check("beyond 100,000,000", "270:ImageDescription\t8\u00d71=8\t\u201c\u201d\n"
          "Error: Attempt to read beyond end of file\n" in texts["beyond_100m.tif"])
    exif = texts["custom_dir_EXIF_GPS.tiff"]
    check("Exif ExposureTime", "\t33434:Exif:ExposureTime\t" in exif)
    check("GPS directory dumped", "\t34853:Exif GPS Info IFD\t" in exif)

    loop = os.path.join(images, "test_ifd_loop_to_first.tif")
    rc, text = dump(loop)
    offsets = list(parse_ours(text))
    check("loop: error once", rc == 0 and text.count("Error: IFD loop or cross-link detected") == 1)
    check("loop: directories once", len(offsets) == 2 and len(set(offsets)) == 2)

    pages = os.path.join(fixtures, "three_pages.tif")
    info = json.loads(run(mrvtool, "info", "--json", pages).stdout)
    rc, text = dump(pages, "--page", "2")
    check("--page: that page's directory only", rc == 0 and list(parse_ours(text)) == [info["ifds"][1]["offset"]])
    rc, text = dump(pages, "--page", "4")
    check("--page: no such page", rc == 1)
    rc, text = dump(pages, "--page", "0")
    check("--page counts from 1", rc == 2)

    with open(os.path.join(fixtures, "text.tif"), "wb") as f:
        f.write(b"hello\n")
    rc, text = dump(os.path.join(fixtures, "text.tif"))
    check("not a TIFF file", rc == 1 and text == "TIFF file information\nError: Not a TIFF file\n")

finish()
