#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks one theme icon from the package: package_icon.py FILE SIZE.

The icon must be a SIZE x SIZE PNG showing the tricolour (black, red, yellow
with a black outline, transparent above and below) in those four colours
only: drawn without smoothing, so that the blocks stay sharp at every size.
Prints what is wrong and exits 1, or exits 0.
"""

import struct
import sys
import zlib

T = "transparent"
K = "black"
R = "red"
Y = "yellow"

COLOURS = {(0, 0, 0): K, (255, 0, 0): R, (255, 255, 0): Y}

# The two native drawings, as (first row, last row, colour, outlined) bands;
# every row outside the bands is transparent.
NATIVE = {
    16: [(3, 5, K, False), (6, 9, R, True), (10, 12, Y, True), (13, 13, K, False)],
    32: [(6, 11, K, False), (12, 18, R, True), (19, 24, Y, True), (25, 25, K, False)],
}


def native_pixel(base, x, y):
    for first, last, colour, outlined in NATIVE[base]:
        if first <= y <= last:
            return K if outlined and x in (0, base - 1) else colour
    return T


def read_png(path):
    """Returns (width, height, rows of colour names) of an 8-bit RGB(A) PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos = 8
    header = None
    idat = b""
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if zlib.crc32(kind + body) != crc:
            raise ValueError(f"bad checksum in chunk {kind!r}")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    if header is None:
        raise ValueError("no IHDR chunk")
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type not in (2, 6) or interlace != 0:
        raise ValueError(f"unexpected PNG format: depth {depth}, colour type "
                         f"{colour_type}, interlace {interlace}")
    bpp = 4 if colour_type == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * bpp
    if len(raw) != height * (stride + 1):
        raise ValueError("image data has the wrong length")

    rows = []
    previous = bytearray(stride)
    for y in range(height):
        filter_type = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            if filter_type == 0:
                predictor = 0
            elif filter_type == 1:
                predictor = a
            elif filter_type == 2:
                predictor = b
            elif filter_type == 3:
                predictor = (a + b) // 2
            elif filter_type == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                predictor = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
            else:
                raise ValueError(f"unknown filter type {filter_type} in row {y}")
            line[i] = (line[i] + predictor) & 0xFF
        row = []
        for x in range(width):
            px = line[x * bpp:(x + 1) * bpp]
            alpha = px[3] if bpp == 4 else 255
            if alpha == 0:
                row.append(T)
            elif alpha == 255 and tuple(px[:3]) in COLOURS:
                row.append(COLOURS[tuple(px[:3])])
            else:
                row.append(f"rgba{tuple(px[:3]) + (alpha,)}")
        rows.append(row)
        previous = line
    return width, height, rows


def runs(column):
    """The column as [colour, length] runs from the top."""
    out = []
    for colour in column:
        if out and out[-1][0] == colour:
            out[-1][1] += 1
        else:
            out.append([colour, 1])
    return out


def check(path, size):
    width, height, rows = read_png(path)
    if (width, height) != (size, size):
        return f"{width} x {height} pixels, expected {size} x {size}"
    for y, row in enumerate(rows):
        for x, colour in enumerate(row):
            if colour not in (T, K, R, Y):
                return f"pixel ({x}, {y}) is {colour}: smoothed or off-palette"

    base = 16 if size < 32 else 32
    if size % base == 0:
        # Whole multiples of a native drawing are exactly its pixels, enlarged.
        factor = size // base
        for y in range(size):
            for x in range(size):
                expected = native_pixel(base, x // factor, y // factor)
                if rows[y][x] != expected:
                    return f"pixel ({x}, {y}) is {rows[y][x]}, expected {expected}"
        return None

    # Other sizes: the same bands top to bottom, each as high as its native
    # band scaled, give or take the one row that sampling may move.
    scale = size / base
    for x in (size // 2, 0, size - 1):
        column = [rows[y][x] for y in range(size)]
        got = runs(column)
        native_x = 0 if x == 0 else (base - 1 if x == size - 1 else base // 2)
        want = runs([native_pixel(base, native_x, y) for y in range(base)])
        if [c for c, _ in got] != [c for c, _ in want]:
            return f"column {x} reads {got}, expected the bands {want}"
        for (colour, length), (_, native_length) in zip(got, want):
            if abs(length - native_length * scale) > 1:
                return (f"column {x}: the {colour} band is {length} rows high, "
                        f"expected about {native_length * scale:g}")
    return None


def main():
    if len(sys.argv) != 3:
        print("usage: package_icon.py FILE SIZE", file=sys.stderr)
        return 2
    path, size = sys.argv[1], int(sys.argv[2])
    try:
        problem = check(path, size)
    except (OSError, ValueError, zlib.error) as error:
        problem = str(error)
    if problem:
        print(f"{path}: {problem}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
