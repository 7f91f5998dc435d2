#!/usr/bin/env python3
"""check_debug_files.py: the shipped binaries carry no debug information, and their debug files do.

usage: check_debug_files.py DIST DEBUG_DIR

For every .exe and .dll in DIST (read with the mingw binutils): no .debug_* section; a .gnu_debuglink
section naming a file that sits in DEBUG_DIR at the binary's relative folder, whose CRC-32 is the one the
link records; that file holds .debug_info and .debug_line and reads the address of at least one of the
binary's functions back to a C or C++ source line. DEBUG_DIR holds no debug file of a binary that is not
shipped. Prints one line per binary; exits 1 with the reasons when any check fails.
"""
import os
import re
import subprocess
import sys
import zlib

TOOLS = "x86_64-w64-mingw32-"  # reads both pei-x86-64 and pei-i386
SOURCE_LINE = re.compile(r"\.(c|cc|cpp|h|hpp):[1-9]\d*")


def tool(name, *args):
    run = subprocess.run([TOOLS + name, *args], capture_output=True, text=True)
    if run.returncode != 0:
        raise RuntimeError(f"{name} {' '.join(args)}: {run.stderr.strip()}")
    return run.stdout


def sections(path):
    # objdump -h: "  3 .debug_info  0000a1b2  ..." for each section.
    return [m.group(1) for m in re.finditer(r"^\s*\d+\s+(\S+)\s+[0-9a-f]{8}", tool("objdump", "-h", path), re.M)]


def debuglink(path):
    """(file name, CRC-32) recorded in the binary's .gnu_debuglink section."""
    dump = tool("objdump", "-s", "-j", ".gnu_debuglink", path)
    data = b""
    for line in dump.splitlines():
        m = re.match(r"^\s*[0-9a-f]+\s+((?:[0-9a-f]{2,8}\s)+)", line + " ")
        if m:
            data += bytes.fromhex("".join(m.group(1).split()))
    name, _, _ = data.partition(b"\0")
    # The name, its NUL and padding to a multiple of 4, then the CRC (little-endian).
    offset = (len(name) + 1 + 3) // 4 * 4
    if not name or len(data) < offset + 4:
        raise RuntimeError(f"no readable .gnu_debuglink in {path}")
    return name.decode(), int.from_bytes(data[offset:offset + 4], "little")


def resolves_to_source(debug_file):
    """Whether a function address of the binary reads back to a source line through the debug file."""
    addresses = []
    for line in tool("nm", "--defined-only", debug_file).splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[1] in "Tt" and not parts[2].startswith("."):
            addresses.append("0x" + parts[0])
    for start in range(0, len(addresses), 200):
        if SOURCE_LINE.search(tool("addr2line", "-e", debug_file, *addresses[start:start + 200])):
            return True
    return False


def check(dist, debug_dir, rel):
    path = os.path.join(dist, rel)
    problems = []
    shipped = sections(path)
    debug_sections = [s for s in shipped if s.startswith((".debug", ".zdebug"))]
    if debug_sections:
        problems.append(f"carries {' '.join(debug_sections)}")
    if ".gnu_debuglink" not in shipped:
        return None, problems + ["has no .gnu_debuglink"]
    name, crc = debuglink(path)
    debug_file = os.path.join(debug_dir, os.path.dirname(rel), name)
    if not os.path.isfile(debug_file):
        return None, problems + [f"links {name}, which is not in {os.path.dirname(debug_file)}"]
    actual = zlib.crc32(open(debug_file, "rb").read())
    if actual != crc:
        problems.append(f"links {name} with CRC {crc:08x}, the file has {actual:08x}")
    held = sections(debug_file)
    for wanted in (".debug_info", ".debug_line"):
        if wanted not in held:
            problems.append(f"{name} holds no {wanted}")
    if not problems and not resolves_to_source(debug_file):
        problems.append(f"no function address reads back to a source line through {name}")
    return debug_file, problems


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    dist, debug_dir = sys.argv[1:]
    binaries = sorted(os.path.relpath(os.path.join(folder, n), dist)
                      for folder, _, names in os.walk(dist) for n in names
                      if n.lower().endswith((".exe", ".dll")))
    if not binaries:
        print(f"FAIL: no binaries in {dist}", file=sys.stderr)
        sys.exit(1)
    failed = False
    linked = set()
    for rel in binaries:
        debug_file, problems = check(dist, debug_dir, rel)
        if debug_file:
            linked.add(os.path.realpath(debug_file))
        if problems:
            failed = True
            print(f"FAIL: {rel}: {'; '.join(problems)}", file=sys.stderr)
        else:
            print(f"{rel}: stripped, debug information in {os.path.relpath(debug_file, debug_dir)}")
    stale = sorted(os.path.relpath(os.path.join(folder, n), debug_dir)
                   for folder, _, names in os.walk(debug_dir) for n in names
                   if os.path.realpath(os.path.join(folder, n)) not in linked)
    if stale:
        failed = True
        print(f"FAIL: debug files no shipped binary links: {' '.join(stale)}", file=sys.stderr)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
