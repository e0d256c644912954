#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: one small bitmap of every header form,
depth and mask layout the reader knows, plus a few broken ones."""
import os
import struct
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
os.makedirs(out, exist_ok=True)


def stride(width, bpp):
    return (width * bpp + 31) // 32 * 4


def bmp(width, height, bpp, *, core=False, compression=0, palette=0, used=0, masks=None, file_header=True):
    rows = abs(height)
    pixels = bytearray(stride(width, bpp) * rows)
    for i in range(len(pixels)):
        pixels[i] = (i * 37 + 11) & 0xFF
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, bpp)
        table = b"".join(bytes((i, 255 - i, i ^ 0x55)) for i in range(palette))
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, compression, len(pixels), 2835, 2835,
                             used, used)
        table = b"".join(bytes((i, 255 - i, i ^ 0x55, 0)) for i in range(palette))
    extra = struct.pack("<III", *masks) if masks else b""
    body = header + extra + table
    if not file_header:
        return body + pixels
    offset = 14 + len(body)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + body + pixels


seeds = {
    "info-1bit.bmp": bmp(9, 3, 1, palette=2),
    "info-4bit.bmp": bmp(5, 2, 4, palette=16),
    "info-8bit.bmp": bmp(3, 3, 8, palette=256),
    "info-8bit-used16.bmp": bmp(4, 2, 8, palette=16, used=16),
    "info-16bit.bmp": bmp(3, 2, 16),
    "info-16bit-565.bmp": bmp(3, 2, 16, compression=3, masks=(0xF800, 0x07E0, 0x001F)),
    "info-24bit.bmp": bmp(3, 2, 24),
    "info-32bit.bmp": bmp(2, 2, 32),
    "info-32bit-masks.bmp": bmp(2, 2, 32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF)),
    "info-24bit-topdown.bmp": bmp(3, -2, 24),
    "packed-8bit.dib": bmp(3, 2, 8, palette=256, file_header=False),
    "packed-24bit.dib": bmp(2, 2, 24, file_header=False),
    "core-1bit.bmp": bmp(9, 2, 1, core=True, palette=2),
    "core-8bit.bmp": bmp(3, 2, 8, core=True, palette=256),
    "core-24bit.bmp": bmp(3, 2, 24, core=True),
    "packed-core-4bit.dib": bmp(5, 2, 4, core=True, palette=16, file_header=False),
    "rle8.bmp": bmp(4, 2, 8, compression=1, palette=256),
    "v5-header.bmp": b"BM" + struct.pack("<IHHI", 200, 0, 0, 138) + struct.pack("<I", 124) + bytes(62),
    "truncated.bmp": bmp(8, 8, 24)[:70],
}
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
print(f"{len(seeds)} seeds in {out}")
