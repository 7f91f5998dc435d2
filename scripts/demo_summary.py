#!/usr/bin/env python3
"""demo_summary.py: what a person wants to know about the demo's capture, in a few lines.

usage: demo_summary.py OUT_DIR SECONDS

Reads OUT_DIR/capture.json (the JSON line) and prints the result code with its texts, the sizes of the
line and of what it carries, the time from request line to JSON line, the files in OUT_DIR and how to
look at the pictures.
"""
import base64
import json
import os
import subprocess
import sys

# What the demo leaves in its folder; anything else found there is listed without a description.
DESCRIPTIONS = {
    "request.txt": "the request line (JSON) written into velmar-device.exe",
    "capture.json": "the JSON line velmar-device.exe printed",
    "capture.wsq": "the WSQ file, decoded from the line's base64",
    "capture.jpg": "the JPEG preview, decoded from the line's base64",
    "capture.png": "the WSQ decoded by the project's converter (wsq.exe --decode)",
}


def decoded_size(text):
    return len(base64.b64decode(text + "=" * (-len(text) % 4))) if text else 0


def dimensions(path):
    run = subprocess.run(["identify", "-format", "%w x %h", path], capture_output=True, text=True)
    return run.stdout.strip() if run.returncode == 0 else "unreadable"


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    out_dir, seconds = sys.argv[1], float(sys.argv[2])
    line_path = os.path.join(out_dir, "capture.json")
    line = json.load(open(line_path, encoding="utf-8"))
    print(f'demo: exit code "{line["exitcode"]}" after {seconds:.1f} s (request line to JSON line)')
    if line["error"] or line["solution"]:
        print(f'demo:   error:    {line["error"]}')
        print(f'demo:   solution: {line["solution"]}')
    sizes = f"demo: JSON line {os.path.getsize(line_path)} bytes"
    # The WSQ's size as the project's converter decodes it (capture.png); the JPEG's as it is.
    for member, label, picture in (("wsq", "WSQ", "capture.png"), ("jpg", "JPEG", "capture.jpg")):
        if not line[member]:
            sizes += f', "{member}" empty'
            continue
        sizes += f", {label} {decoded_size(line[member])} bytes"
        if os.path.exists(os.path.join(out_dir, picture)):
            sizes += f" ({dimensions(os.path.join(out_dir, picture))})"
    print(sizes)

    print(f"demo: files in {os.path.abspath(out_dir)}/:")
    for name in sorted(os.listdir(out_dir)):
        folder = os.path.isdir(os.path.join(out_dir, name))
        shown = name + ("/" if folder else "")
        print(f"  {shown:<20} {DESCRIPTIONS.get(name, '')}".rstrip())
    pictures = [os.path.join(out_dir, n) for n in ("capture.png", "capture.jpg")
                if os.path.exists(os.path.join(out_dir, n))]
    if pictures:
        print(f"demo: to look at the pictures: display {' '.join(pictures)}  (ImageMagick; or any image viewer)")


if __name__ == "__main__":
    main()
