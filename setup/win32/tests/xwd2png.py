#!/usr/bin/env python3
"""Turns a TrueColor X window dump (xwd) into a PNG, with nothing but the standard library.

Usage: xwd2png.py DUMP PNG [X Y WIDTH HEIGHT]: the part of the screen to keep."""
import struct
import sys
import zlib


def convert(data, crop=None):
    header = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = header[:6]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    red_mask, green_mask, blue_mask = header[14:17]
    colours = header[19]
    pixels = data[header_size + colours * 12:]
    if bits_per_pixel not in (24, 32):
        raise SystemExit(f"xwd2png: {bits_per_pixel} bits a pixel are not handled")
    size = bits_per_pixel // 8
    endian = "little" if byte_order == 0 else "big"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift(m) for m in (red_mask, green_mask, blue_mask)]
    left, top = 0, 0
    if crop:
        left, top, w, h = crop
        left, top = max(left, 0), max(top, 0)
        width, height = min(w, width - left), min(h, height - top)
    rows = bytearray()
    for y in range(top, top + height):
        rows.append(0)
        line = pixels[y * bytes_per_line:(y + 1) * bytes_per_line]
        for x in range(width):
            at = (left + x) * size
            value = int.from_bytes(line[at:at + size], endian)
            rows += bytes(((value & m) >> s) & 0xFF for m, s in zip((red_mask, green_mask, blue_mask), shifts))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as source:
        dump = source.read()
    with open(sys.argv[2], "wb") as target:
        crop = tuple(int(v) for v in sys.argv[3:7]) if len(sys.argv) >= 7 else None
        target.write(convert(dump, crop))
