#!/usr/bin/env python3
"""Checks the rendered skin pictures against resources/skin/pictures.txt.

usage: check_pictures.py MANIFEST PNG_DIR SKIN_RC

For every line of the manifest: the PNG exists, is a PNG, has exactly the stated size,
and is opaque or has transparent pixels as stated ("alpha" needs at least one pixel
with alpha below 255, "opaque" needs none), and no picture is wholly transparent (a
cell offset that misses the drawing). The resource script lists every picture
once, under its resource name, pointing at that file, and nothing else.
Only the standard library is used: the PNG is decoded here.
"""
import re
import struct
import sys
import zlib
from pathlib import Path

LINE = re.compile(r"^([A-Za-z0-9_./]+) +([0-9]+)x([0-9]+) +([A-Za-z0-9_-]+\.svg) +"
                  r"([0-9]+),([0-9]+) +(alpha|opaque) +([^ ]+) +(.+)$")
SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}  # samples per pixel by colour type (no palettes here)


def resource_name(name):
    return re.sub(r"[./]", "_", name.upper())


def read_png(path):
    """Returns (width, height, lowest alpha, highest alpha) of an 8-bit PNG."""
    data = path.read_bytes()
    if not data.startswith(SIGNATURE):
        raise ValueError("not a PNG file")
    pos, header, idat, transparency = len(SIGNATURE), None, bytearray(), False
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"tRNS":
            transparency = True
        elif kind == b"IEND":
            break
    if header is None:
        raise ValueError("no IHDR chunk")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in CHANNELS or interlace or transparency:
        raise ValueError(f"unexpected PNG format (depth {depth}, colour type {colour}, "
                         f"interlace {interlace}, tRNS {transparency})")
    bpp = CHANNELS[colour]
    stride = width * bpp
    raw = zlib.decompress(bytes(idat))
    if len(raw) != height * (stride + 1):
        raise ValueError("image data has the wrong length")
    lowest_alpha, highest_alpha = 255, 0 if colour in (4, 6) else 255
    previous = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            upper_left = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                p = left + up - upper_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else upper_left)
                line[i] = (line[i] + predictor) & 0xFF
            elif kind != 0:
                raise ValueError(f"unknown filter type {kind} in row {y}")
        if colour in (4, 6):
            alphas = line[bpp - 1::bpp]
            lowest_alpha = min(lowest_alpha, min(alphas))
            highest_alpha = max(highest_alpha, max(alphas))
        previous = line
    return width, height, lowest_alpha, highest_alpha


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    manifest, png_dir, rc_file = Path(argv[1]), Path(argv[2]), Path(argv[3])
    failures, expected = [], {}
    for number, line in enumerate(manifest.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        match = LINE.match(line)
        if not match:
            failures.append(f"pictures.txt:{number}: cannot read the line")
            continue
        name, width, height, alpha = match[1], int(match[2]), int(match[3]), match[7]
        path = png_dir / name
        expected[resource_name(name)] = path
        if not path.is_file():
            failures.append(f"{name}: not rendered ({path} is missing)")
            continue
        try:
            got_w, got_h, lowest_alpha, highest_alpha = read_png(path)
        except (ValueError, zlib.error, struct.error) as error:
            failures.append(f"{name}: {error}")
            continue
        if (got_w, got_h) != (width, height):
            failures.append(f"{name}: {got_w}x{got_h}, the manifest says {width}x{height}")
        if alpha == "alpha" and lowest_alpha == 255:
            failures.append(f"{name}: every pixel is opaque, the manifest says it has transparency")
        if highest_alpha == 0:
            failures.append(f"{name}: wholly transparent (does its cell miss the drawing?)")
        if alpha == "opaque" and lowest_alpha < 255:
            failures.append(f"{name}: has pixels with alpha {lowest_alpha}, the manifest says opaque")

    listed = {}
    for line in rc_file.read_text(encoding="utf-8").splitlines():
        if not line.strip() or line.startswith("//"):
            continue
        match = re.fullmatch(r'(\S+) RCDATA "([^"]+)"', line)
        if not match:
            failures.append(f"SkinPictures.rc: cannot read the line {line!r}")
        elif match[1] in listed:
            failures.append(f"SkinPictures.rc: {match[1]} is listed twice")
        else:
            listed[match[1]] = Path(match[2])
    for resource, path in expected.items():
        if resource not in listed:
            failures.append(f"SkinPictures.rc: {resource} is missing")
        elif listed[resource] != path:
            failures.append(f"SkinPictures.rc: {resource} points at {listed[resource]}, not {path}")
    for resource in sorted(set(listed) - set(expected)):
        failures.append(f"SkinPictures.rc: {resource} is not in pictures.txt")

    for failure in failures:
        print("FAIL", failure)
    print(f"{len(expected)} pictures checked, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
