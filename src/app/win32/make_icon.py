#!/usr/bin/env python3
"""Writes morvane.ico: a small ruled table in 16x16 and 32x32, 32-bit colour.

Run it again after changing the drawing; the .ico it writes is committed.
"""
import struct
import sys
from pathlib import Path


def pixels(size):
    """Rows top to bottom of (b, g, r, a): a white sheet with blue ruling and a red header row."""
    rule = (160, 80, 20, 255)
    header = (60, 60, 200, 255)
    paper = (255, 255, 255, 255)
    clear = (0, 0, 0, 0)
    margin = size // 16
    inner = size - 2 * margin
    step = max(inner // 4, 2)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            ix, iy = x - margin, y - margin
            if not (0 <= ix < inner and 0 <= iy < inner):
                row.append(clear)
            elif ix in (0, inner - 1) or iy in (0, inner - 1) or ix % step == 0 or iy % step == 0:
                row.append(rule)
            elif iy < step:
                row.append(header)
            else:
                row.append(paper)
        rows.append(row)
    return rows


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = b"".join(bytes(px) for row in reversed(pixels(size)) for px in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # the alpha channel decides; the AND mask stays clear
    return header + body + mask


def icon(sizes):
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("morvane.ico")
    target.write_bytes(icon([16, 32]))
