"""Readers for the two picture files the tool tests compare: the BMP that
mrvtool writes and the uncompressed RGBA TIFF that libtiff's tiff2rgba writes."""
import os
import struct
import subprocess


def read_bmp(path, step=1):
    """(width, height, [(r, g, b)] top-down) of a BMP as mrvtool writes it; only
    every step-th row for large pages."""
    data = open(path, "rb").read()
    assert data[:2] == b"BM", "not a BMP"
    file_size, = struct.unpack_from("<I", data, 2)
    assert file_size == len(data), "file size field"
    offset, = struct.unpack_from("<I", data, 10)
    size, width, height, planes, bits = struct.unpack_from("<IiiHH", data, 14)
    entries = 0 if bits == 24 else 1 << bits
    table = [data[54 + 4 * i:54 + 4 * i + 3][::-1] for i in range(entries)]
    assert offset == 54 + 4 * entries, "pixel offset field"
    stride = (width * bits + 31) // 32 * 4
    pixels = []
    for top in range(0, height, step):
        y = height - 1 - top
        row = data[offset + y * stride:offset + (y + 1) * stride]
        for x in range(width):
            if bits == 24:
                pixels.append(tuple(row[3 * x:3 * x + 3][::-1]))
            else:
                index = (row[x * bits // 8] >> (8 - bits - x * bits % 8)) & ((1 << bits) - 1)
                pixels.append(tuple(table[index]))
    return width, height, pixels


def read_rgba_tiff(path, step=1):
    """The uncompressed, contiguous 8-bit RGBA file tiff2rgba -c none writes."""
    data = open(path, "rb").read()
    fmt = "<" if data[:2] == b"II" else ">"
    ifd, = struct.unpack_from(fmt + "I", data, 4)
    count, = struct.unpack_from(fmt + "H", data, ifd)
    tags = {}
    for i in range(count):
        tag, typ, n, value_at = struct.unpack_from(fmt + "HHI4s", data, ifd + 2 + 12 * i)
        size = {3: 2, 4: 4}.get(typ, 1)
        at = ifd + 2 + 12 * i + 8 if size * n <= 4 else struct.unpack(fmt + "I", value_at)[0]
        code = {2: "H", 4: "I"}.get(size, "B")
        tags[tag] = list(struct.unpack_from(fmt + code * n, data, at))
    width, height, spp = tags[256][0], tags[257][0], tags[277][0]
    raw = b"".join(data[o:o + c] for o, c in zip(tags[273], tags[279]))
    pixels = [tuple(raw[spp * (y * width + x):spp * (y * width + x) + 3])
              for y in range(0, height, step) for x in range(width)]
    return width, height, pixels


def page_picture(path, index, work):
    """tiff2rgba's picture of directory `index` (from 0) of a TIFF file."""
    single, rgba = os.path.join(work, "single.tif"), os.path.join(work, "rgba.tif")
    subprocess.run(["tiffcp", f"{path},{index}", single], check=True, capture_output=True)
    subprocess.run(["tiff2rgba", "-c", "none", single, rgba], check=True, capture_output=True)
    return read_rgba_tiff(rgba)


def viewer_picture(mrvtool, path, page, work):
    """Page `page` (from 1) as the viewer decodes it, through mrvtool render."""
    out = os.path.join(work, "page.bmp")
    subprocess.run([mrvtool, "render", "--page", str(page), "--out", out, path], check=True, capture_output=True)
    return read_bmp(out)
