"""icons.py IN.png OUT.png [FACTOR]: recompresses one of makeimages's PNG
icons (stored, uncompressed deflate) for the web, FACTOR times as large
(each pixel a square of FACTOR), so the page's icons cost little to fetch.
The same input always gives the same bytes."""
import struct
import sys
import zlib


def read_rgb(path):
    data = open(path, "rb").read()
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    if depth != 8 or colour != 2:
        sys.exit("icons.py: %s is not an 8-bit RGB PNG" % path)
    idat, at = b"", 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IDAT":
            idat += data[at + 8:at + 8 + length]
        at += 12 + length
    raw, stride = zlib.decompress(idat), width * 3
    rows = [raw[r * (stride + 1):(r + 1) * (stride + 1)] for r in range(height)]
    if any(row[0] != 0 for row in rows):
        sys.exit("icons.py: %s uses row filters; expected makeimages's plain rows" % path)
    return width, height, [row[1:] for row in rows]


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
    width, height, rows = read_rgb(source)
    wide = [bytes(b for x in range(width) for b in row[3 * x:3 * x + 3] * factor) for row in rows]
    write_rgb(target, width * factor, height * factor, [row for row in wide for _ in range(factor)])


if __name__ == "__main__":
    main()
