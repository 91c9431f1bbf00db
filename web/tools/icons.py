"""icons.py IN.png OUT.png [FACTOR]: recompresses one of makeimages's PNG
icons (stored, uncompressed deflate) for the web, FACTOR times as large
(each pixel a square of FACTOR), so the page's icons cost little to fetch.
The same input always gives the same bytes."""
import os
import struct
import sys
import zlib

# The test driver's PNG reader serves here too.
sys.path.insert(0, os.path.dirname(__file__))
from chromium import decode_png  # noqa: E402


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def write_rgb(path, width, height, rows):
    # Each row against the one above ("up"): the repeated rows of an enlarged icon cost next to nothing.
    previous, packed = bytes(width * 3), b""
    for row in rows:
        packed += b"\2" + bytes((a - b) & 255 for a, b in zip(row, previous))
        previous = row
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                  chunk(b"IDAT", zlib.compress(packed, 9)) + chunk(b"IEND", b""))


def main():
    source, target = sys.argv[1:3]
    factor = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    width, height, rows = decode_png(open(source, "rb").read())
    wide = [bytes(b for x in range(width) for b in row[3 * x:3 * x + 3] * factor) for row in rows]
    write_rgb(target, width * factor, height * factor, [row for row in wide for _ in range(factor)])


if __name__ == "__main__":
    main()
