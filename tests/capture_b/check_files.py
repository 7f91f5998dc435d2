#!/usr/bin/env python3
"""check_files.py: independent checks of velmar-capture-b's files for the tests.

  check_files.py log FILE                 UTF-16LE with a byte order mark; every header line's checksum
                                          verifies; prints the number of lines checked
  check_files.py bmp FILE WIDTH HEIGHT    an 8-bit grey BMP of that size, rows bottom-up
  check_files.py pgm FILE WIDTH HEIGHT    a binary PGM of that size
  check_files.py same-pixels BMP PGM      the BMP shows exactly the PGM's pixels
  check_files.py finger-pgm FILE W H      writes a test finger: dark ridged ellipse on white
"""
import struct
import sys


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def check_log(path):
    data = open(path, "rb").read()
    if data[:2] != b"\xff\xfe":
        fail(f"{path}: no UTF-16LE byte order mark")
    text = data[2:].decode("utf-16-le")
    if text.count("\ufeff"):
        fail(f"{path}: a second byte order mark inside the file")
    checked = 0
    for line in text.split("\r\n")[:-1]:
        if line == "":
            continue  # the bare line break written when the log moves into the working directory
        fields = line.split("\t", 1)
        if len(fields) != 2 or len(fields[0]) != 8:
            fail(f"{path}: line without checksum column: {line!r}")
        rest = fields[1] + "\r\n"
        thread = int(rest.split("\t")[1], 16)
        value = thread
        for ch in rest:
            value = (value * 101 + ord(ch)) & 0xFFFFFFFF
        if f"{value:08X}" != fields[0]:
            fail(f"{path}: checksum {fields[0]} does not verify ({value:08X}): {line!r}")
        checked += 1
    if checked == 0:
        fail(f"{path}: no lines")
    print(checked)


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        fail(f"{path}: not a BMP")
    size, offset = struct.unpack_from("<I4xI", data, 2)
    width, height, planes, bpp = struct.unpack_from("<iiHH", data, 18)
    if size != len(data) or bpp != 8 or planes != 1:
        fail(f"{path}: header size {size} for {len(data)} bytes, {bpp} bits, {planes} planes")
    stride = (width + 3) // 4 * 4
    rows = []
    for r in range(abs(height)):
        stored = abs(height) - 1 - r if height > 0 else r
        start = offset + stored * stride
        rows.append(data[start:start + width])
    return width, abs(height), b"".join(rows)


def read_pgm(path):
    data = open(path, "rb").read()
    parts = data.split(None, 4)
    if parts[0] != b"P5" or parts[3] != b"255":
        fail(f"{path}: not an 8-bit binary PGM")
    width, height = int(parts[1]), int(parts[2])
    pixels = data[len(data) - width * height:]
    header = data[:len(data) - width * height]
    if len(header.split()) != 4:
        fail(f"{path}: {len(data)} bytes do not fit {width} x {height}")
    return width, height, pixels


def finger_pgm(path, width, height):
    cx, cy, rx, ry = width / 2, height / 2, width * 0.33, height * 0.38
    out = bytearray()
    for y in range(height):
        for x in range(width):
            inside = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1
            out.append((40 if (x + 2 * y) % 9 < 5 else 120) if inside else 255)
    open(path, "wb").write(b"P5 %d %d 255\n" % (width, height) + bytes(out))


def main(argv):
    command = argv[1]
    if command == "log":
        check_log(argv[2])
    elif command in ("bmp", "pgm"):
        width, height, _ = (read_bmp if command == "bmp" else read_pgm)(argv[2])
        if (width, height) != (int(argv[3]), int(argv[4])):
            fail(f"{argv[2]}: {width} x {height}, want {argv[3]} x {argv[4]}")
    elif command == "same-pixels":
        if read_bmp(argv[2]) != read_pgm(argv[3]):
            fail(f"{argv[2]} does not show the pixels of {argv[3]}")
    elif command == "finger-pgm":
        finger_pgm(argv[2], int(argv[3]), int(argv[4]))
    else:
        fail("unknown command " + command)


if __name__ == "__main__":
    main(sys.argv)
