#!/usr/bin/env python3
"""Reads what the loopback server kept from upload_served.scn and checks it
with Python's own multipart parser and libtiff: four requests (Cancel sent
nothing), each a multipart/form-data POST whose length matches its body, the
form field in UTF-8 with its cleaned name, and the file part a TIFF whose
pages read back as the document's.

usage: check_uploads.py FOLDER
"""
import glob
import os
import re
import subprocess
import sys
import tempfile
from email import policy
from email.parser import BytesParser

failures = []


def check(name, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + name + ("" if ok else ": " + str(detail)))
    if not ok:
        failures.append(name)


def pages_of(path, count):
    """Each page as 8-bit grey bytes, decoded by ImageMagick's libtiff coder."""
    return [subprocess.run(["convert", "%s[%d]" % (path, n), "-depth", "8", "gray:-"],
                           check=True, capture_output=True).stdout for n in range(count)]


def main():
    folder = sys.argv[1]
    bodies = sorted(glob.glob(os.path.join(folder, "posted-*.body")))
    check("five requests", len(bodies) == 5, bodies)
    document = os.path.join(folder, "pages.tif")
    expected_pages = pages_of(document, 3)
    for number in (1, 2):
        stem = os.path.join(folder, "posted-%d" % number)
        with open(stem + ".headers") as f:
            head = f.read()
        with open(stem + ".body", "rb") as f:
            body = f.read()
        kind = re.search(r"^Content-Type: (multipart/form-data; boundary=(NEXTPART\d+))$", head, re.M)
        length = re.search(r"^Content-Length: (\d+)$", head, re.M)
        check("%d: POST with the boundary" % number, head.startswith("POST /receive") and kind, head)
        if not kind:
            continue
        check("%d: length" % number, length and int(length.group(1)) == len(body), head)
        check("%d: first line" % number, body.startswith(b"--" + kind.group(2).encode() + b"\r\n"), body[:60])
        check("%d: closing line" % number, body.endswith(b"\r\n--" + kind.group(2).encode() + b"--\r\n"),
              body[-60:])
        message = BytesParser(policy=policy.HTTP).parsebytes(
            b"Content-Type: " + kind.group(1).encode() + b"\r\n\r\n" + body)
        parts = list(message.iter_parts())
        check("%d: two parts" % number, len(parts) == 2, len(parts))
        if len(parts) != 2:
            continue
        field, document_part = parts
        check("%d: field" % number, field.get_param("name", header="content-disposition") == "case_id"
              and field.get_content() == "Caf\u00e9 \u65e5\u672c", field.as_string()[:200])
        check("%d: file part" % number,
              document_part.get_param("name", header="content-disposition") == "file"
              and document_part.get_filename() == "image.tif"
              and document_part.get_content_type() == "image/tiff", document_part.items())
        with tempfile.NamedTemporaryFile(suffix=".tif", delete=False) as f:
            f.write(document_part.get_payload(decode=True))
            sent = f.name
        try:
            info = subprocess.run(["tiffinfo", sent], capture_output=True, text=True)
            check("%d: libtiff reads three pages" % number,
                  info.returncode == 0 and info.stdout.count("TIFF Directory") == 3, info.stderr)
            check("%d: pages as the document's" % number, pages_of(sent, 3) == expected_pages)
        finally:
            os.remove(sent)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
