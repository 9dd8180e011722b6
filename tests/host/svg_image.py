#!/usr/bin/env python3
"""Reads the <image> elements of a window's SVG file: each must embed a PNG
picture as a base64 data: URI whose size is the element's. Prints one line
per image: x y width height, then the picture's rows of (red, green, blue)
pixels as hexadecimal, row after row separated by '/'.

    svg_image.py FILE.svg
"""
import base64
import re
import struct
import sys
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def unfilter(data, width, height, channels):
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = data[at], bytearray(data[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + pred) & 255
            elif kind != 0:
                raise ValueError("unknown PNG filter %d" % kind)
        rows.append(bytes(line))
        previous = line
    return rows


def decode_png(png):
    if not png.startswith(PNG_SIGNATURE):
        raise ValueError("no PNG signature")
    at, idat, header = 8, b"", None
    while at < len(png):
        length, kind = struct.unpack(">I4s", png[at:at + 8])
        body = png[at + 8:at + 8 + length]
        if zlib.crc32(kind + body) != struct.unpack(">I", png[at + 8 + length:at + 12 + length])[0]:
            raise ValueError("bad CRC in %r" % kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 2 or interlace != 0:
        raise ValueError("not 8-bit RGB without interlacing")
    return width, height, unfilter(zlib.decompress(idat), width, height, 3)


def main():
    svg = open(sys.argv[1], encoding="utf-8").read()
    found = re.findall(r'<image x="(-?\d+)" y="(-?\d+)" width="(\d+)" height="(\d+)"[^>]*'
                       r'href="data:image/png;base64,([A-Za-z0-9+/=]+)"', svg)
    if not found:
        sys.exit("no embedded PNG image in " + sys.argv[1])
    for x, y, width, height, data in found:
        png_width, png_height, rows = decode_png(base64.b64decode(data, validate=True))
        if (png_width, png_height) != (int(width), int(height)):
            sys.exit("the PNG is %dx%d, the element %sx%s" % (png_width, png_height, width, height))
        print(x, y, width, height, "/".join(row.hex() for row in rows))


if __name__ == "__main__":
    main()
