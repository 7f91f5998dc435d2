#!/usr/bin/env bash
# The host's JSON line checked with independent tools: python3's JSON parser and base64 decoder, and
# ImageMagick for the JPEG (size and PSNR against the BMP's pixels). Runs json_tool under Wine.
set -euo pipefail
tool=$1
source "$(dirname "$0")/../lib/wine-gui.sh"
dir=$(artefact_dir)
cd "$dir"

# Fixtures: the same 512 x 512 pixels as an 8-bit BMP the way the capture applications write it
# (bottom-up, grey palette, pixels at 1078), with a palette of its own (colours that ignore the index),
# and as written by ImageMagick; the pixels themselves as PGM.
python3 - <<'PY'
import math, struct
w = h = 512
pix = bytearray()
for y in range(h):
    for x in range(w):
        v = 128 + 70 * math.sin(x / 11.0) * math.cos(y / 17.0) + (x - 256) / 8.0
        pix.append(max(0, min(255, int(v))))
open("pixels.pgm", "wb").write(b"P5\n512 512\n255\n" + bytes(pix))
def bmp(palette):
    rows = b"".join(bytes(pix[y * w:(y + 1) * w]) for y in reversed(range(h)))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(rows), 19685, 19685, 256, 0)
    pal = b"".join(struct.pack("<BBBB", *palette(i), 0) for i in range(256))
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + 1024 + len(rows), 0, 0, 14 + 40 + 1024)
    return head + info + pal + rows
open("system.bmp", "wb").write(bmp(lambda i: (i, i, i)))
open("own-palette.bmp", "wb").write(bmp(lambda i: (0, 255 - i, 255)))  # blue, green, red
PY
# ImageMagick's own palette order and header versions (BMP3: 40-byte header; BMP: 124-byte header).
/usr/bin/convert pixels.pgm -type Palette -compress none BMP3:imagemagick.bmp
/usr/bin/convert pixels.pgm -type Palette -compress none BMP:imagemagick-v5.bmp

check() {  # check NAME: JSON line of NAME.bmp, its JPEG against the BMP's indices read as grey levels
  local name=$1
  python3 - "$name" <<'PY'
import struct, sys
name = sys.argv[1]
b = open(name + ".bmp", "rb").read()
off, = struct.unpack_from("<I", b, 10)
hsize, w, h, planes, bits, comp = struct.unpack_from("<IiiHHI", b, 14)
assert bits == 8 and comp == 0, (bits, comp)
stride = (w + 3) // 4 * 4
rows = [b[off + r * stride: off + r * stride + w] for r in range(abs(h))]
if h > 0:
    rows.reverse()
open(name + "-index.pgm", "wb").write(b"P5\n%d %d\n255\n" % (w, abs(h)) + b"".join(rows))
print("%s.bmp: %d-byte header, pixels at %d" % (name, hsize, off))
PY
  wine "$tool" jpeg "$name.bmp" wsq.bin </dev/null >"$name.json"
  python3 - "$name" <<'PY'
import base64, json, sys
name = sys.argv[1]
line = open(name + ".json", "rb").read().decode("utf-8").rstrip("\r\n")
obj = json.loads(line)
assert list(obj) == ["wsq", "jpg", "exitcode", "error", "solution"], list(obj)
assert obj["exitcode"] == "0" and obj["error"] == "" and obj["solution"] == "", obj["exitcode"]
assert "=" not in obj["wsq"] + obj["jpg"]
pad = lambda s: s + "=" * (-len(s) % 4)
assert base64.b64decode(pad(obj["wsq"]), validate=True) == open("wsq.bin", "rb").read()
open(name + ".jpg", "wb").write(base64.b64decode(pad(obj["jpg"]), validate=True))
PY
  local size psnr
  size=$(/usr/bin/identify -format '%m %w %h' "$name.jpg")
  [ "$size" = "JPEG 512 512" ] || { echo "$name: identify says '$size'" >&2; return 1; }
  psnr=$(/usr/bin/compare -metric PSNR "$name.jpg" "$name-index.pgm" null: 2>&1 || true)
  echo "$name: $size, PSNR $psnr dB against the BMP's pixel indices"
  python3 -c "import sys; sys.exit(0 if float('$psnr') > 30 else 1)" || { echo "$name: PSNR too low" >&2; return 1; }
}

head -c 3001 /dev/urandom >wsq.bin
check system
check own-palette
check imagemagick
check imagemagick-v5

# base64 of 1..300 random bytes round-trips through python's decoder once padding is added.
wine "$tool" base64 300 </dev/null >base64.txt
python3 - <<'PY'
import base64
lines = open("base64.txt").read().split()
pairs = list(zip(lines[0::2], lines[1::2]))
assert len(pairs) == 300, len(pairs)
for n, (hexed, b64) in enumerate(pairs, 1):
    raw = bytes.fromhex(hexed)
    assert len(raw) == n and len(b64) == (8 * n + 5) // 6, n
    assert base64.b64decode(b64 + "=" * (-len(b64) % 4), validate=True) == raw, n
print("base64: 300 round trips")
PY
