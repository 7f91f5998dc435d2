#!/usr/bin/env python3
"""check_line.py: checks what velmar-device printed for one capture, with tools of its own.

usage: check_line.py [--jpeg-ref IMAGE | --jpeg-any] STDOUT_FILE CODE OUT_DIR DECODER...

STDOUT_FILE  the program's standard output; its first line must be the JSON line
CODE         the result code the capture must have ended with
OUT_DIR      where capture.wsq, capture.jpg, capture.pgm and capture.png are written (success only)
DECODER...   the project's WSQ decoder as a command (for example "wine wsq.exe" or a native wsq);
             it is run as DECODER --decode IN.wsq OUT.pgm with paths it can read

The line is parsed with a JSON parser: exactly the members wsq, jpg, exitcode, error and solution in
that order, every value a string; exitcode is CODE; error and solution are the texts of CODE. A failed
capture has empty wsq and jpg. A successful one has base64 without padding in both and the WSQ decodes
with the project's decoder to 512 x 512. The JPEG is checked with ImageMagick: 512 x 512 with a PSNR
above 25 dB against the decoded WSQ (velmar-capture-a sends the 512 x 512 output as its BMP); with
--jpeg-ref, the size of IMAGE and a PSNR above 25 dB against IMAGE (velmar-capture-b sends the
reader's image at its own size, which the test then gives the reader); with --jpeg-any, only that
ImageMagick reads the JPEG (a reader image the caller does not know). Prints one summary line; exits
1 with the reason on the first fault.
"""
import base64
import json
import os
import re
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from expected_texts import TEXTS  # noqa: E402

MEMBERS = ["wsq", "jpg", "exitcode", "error", "solution"]
BASE64 = re.compile(r"^[A-Za-z0-9+/]*$")
MIN_PSNR = 25.0


def fail(reason):
    print(f"FAIL: {reason}", file=sys.stderr)
    sys.exit(1)


def unpadded_base64(name, text):
    if not BASE64.match(text):
        fail(f'"{name}" is not unpadded base64')
    if len(text) % 4 == 1:
        fail(f'"{name}" has a length no byte string encodes to')
    return base64.b64decode(text + "=" * (-len(text) % 4))


def image_size(path):
    out = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True)
    if out.returncode != 0:
        fail(f"identify cannot read {path}: {out.stderr.strip()}")
    return tuple(int(v) for v in out.stdout.split())


def psnr(a, b):
    # compare exits 1 when the images differ at all; the figure goes to standard error.
    out = subprocess.run(["compare", "-metric", "PSNR", a, b, "null:"], capture_output=True, text=True)
    if out.returncode not in (0, 1):
        fail(f"compare failed: {out.stderr.strip()}")
    figure = out.stderr.strip().split()[0]
    return float("inf") if figure == "inf" else float(figure)


def blank(path):
    # A finger shows ridges: the grey levels of a blank frame hardly vary.
    out = subprocess.run(["identify", "-format", "%[fx:standard_deviation]", path], capture_output=True, text=True)
    return out.returncode != 0 or float(out.stdout) < 0.02


def to_decoder_path(decoder, path):
    # A decoder run under Wine gets Windows paths; Wine maps the Linux root to drive Z:.
    if decoder and os.path.basename(decoder[0]) == "wine":
        return "Z:" + os.path.abspath(path).replace("/", "\\")
    return path


def main():
    args = sys.argv[1:]
    jpeg_ref, jpeg_any = None, False
    if args[:1] == ["--jpeg-ref"] and len(args) > 1:
        jpeg_ref, args = args[1], args[2:]
    elif args[:1] == ["--jpeg-any"]:
        jpeg_any, args = True, args[1:]
    if len(args) < 4:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    stdout_file, code, out_dir, decoder = args[0], int(args[1]), args[2], args[3:]
    raw = open(stdout_file, "rb").read()
    first, _, rest = raw.partition(b"\n")
    try:
        text = first.decode("utf-8").rstrip("\r")
    except UnicodeDecodeError as error:
        fail(f"the line is not UTF-8: {error}")
    if not text:
        fail("the first line of standard output is empty")
    try:
        pairs = json.loads(text, object_pairs_hook=lambda p: p)
    except json.JSONDecodeError as error:
        fail(f"not a JSON line ({error}): {text[:200]}")
    if not isinstance(pairs, list) or [k for k, _ in pairs] != MEMBERS:
        fail(f"members are {[k for k, _ in pairs] if isinstance(pairs, list) else pairs}, want {MEMBERS}")
    line = dict(pairs)
    for key in MEMBERS:
        if not isinstance(line[key], str):
            fail(f'"{key}" is not a string')
    if line["exitcode"] != str(code):
        fail(f'exitcode "{line["exitcode"]}", want "{code}"')
    error, solution = TEXTS.get(code, ("", ""))
    if line["error"] != error:
        fail(f'error "{line["error"]}", want "{error}"')
    if line["solution"] != solution:
        fail(f'solution "{line["solution"]}", want "{solution}"')

    if code != 0:
        if line["wsq"] or line["jpg"]:
            fail("a failed capture carries wsq or jpg data")
        print(f"line ok: exitcode {code}, texts of {code}" + (" (none)" if not error else ""))
        return

    wsq = unpadded_base64("wsq", line["wsq"])
    jpg = unpadded_base64("jpg", line["jpg"])
    if wsq[:2] != b"\xff\xa0":
        fail("the WSQ data does not start with the start-of-image marker FF A0")
    if jpg[:3] != b"\xff\xd8\xff":
        fail("the JPEG data does not start with FF D8 FF")
    os.makedirs(out_dir, exist_ok=True)
    paths = {ext: os.path.join(out_dir, f"capture.{ext}") for ext in ("wsq", "jpg", "pgm", "png")}
    with open(paths["wsq"], "wb") as f:
        f.write(wsq)
    with open(paths["jpg"], "wb") as f:
        f.write(jpg)
    if os.path.exists(paths["pgm"]):
        os.remove(paths["pgm"])
    run = subprocess.run(decoder + ["--decode", to_decoder_path(decoder, paths["wsq"]),
                                    to_decoder_path(decoder, paths["pgm"])],
                         capture_output=True, text=True, stdin=subprocess.DEVNULL)
    if run.returncode != 0 or not os.path.exists(paths["pgm"]):
        fail(f"the project's decoder rejects the WSQ ({run.returncode}): {run.stderr.strip()}")
    if image_size(paths["pgm"]) != (512, 512):
        fail(f"the WSQ decodes to {image_size(paths['pgm'])}, want 512 x 512")
    if blank(paths["pgm"]):
        fail("the WSQ decodes to a blank image")
    subprocess.run(["convert", paths["pgm"], paths["png"]], check=True)
    w, h = image_size(paths["jpg"])
    trailing = rest.decode("utf-8", "replace").strip()
    after = f"; after the line: {trailing!r}" if trailing else ""
    if jpeg_any:
        print(f"line ok: exitcode 0, WSQ {len(wsq)} bytes decodes to 512 x 512, JPEG {len(jpg)} bytes {w} x {h}"
              + after)
        return
    reference = jpeg_ref or paths["pgm"]
    if (w, h) != image_size(reference):
        fail(f"the JPEG is {w} x {h}, want {image_size(reference)} like {reference}")
    figure = psnr(paths["jpg"], reference)
    if not figure > MIN_PSNR:
        fail(f"PSNR between the JPEG and {reference} is {figure} dB, want above {MIN_PSNR}")
    print(f"line ok: exitcode 0, WSQ {len(wsq)} bytes decodes to 512 x 512, JPEG {len(jpg)} bytes "
          f"{w} x {h}, PSNR {figure:.2f} dB against the {'reader image' if jpeg_ref else 'decoded WSQ'}"
          + after)


if __name__ == "__main__":
    main()
