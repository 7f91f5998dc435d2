#!/usr/bin/env python3
"""check_manifests.py: every program of a staged release carries the application manifest Windows reads
when it starts the program (resource type RT_MANIFEST, id 1), asking for no elevation (asInvoker, no UI
access) and naming Windows 7, 8, 8.1 and 10/11 as supported. Without it Windows treats a 32-bit program
as a legacy one and redirects its writes under Program Files into the VirtualStore.

    check_manifests.py DIST

The resource is read out of the file with a PE reader of its own (sections, resource directory), not
with the toolchain that made it; the XML with Python's parser.
"""
import os
import struct
import sys
import xml.etree.ElementTree as ET

RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"


class PeError(Exception):
    pass


def resources(data, want_type):
    """{(name id, language): bytes} of one resource type of a PE image."""
    if data[:2] != b"MZ":
        raise PeError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("no PE signature")
    sections_count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    optional = pe + 24
    magic, = struct.unpack_from("<H", data, optional)
    directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1)
    if directories < optional:
        raise PeError(f"unknown optional header magic {magic:#x}")
    resource_rva, resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
    if resource_rva == 0:
        return {}
    sections = []
    for i in range(sections_count):
        at = optional + optional_size + 40 * i
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, at + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer))

    def offset(rva):
        for address, size, raw in sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise PeError(f"RVA {rva:#x} lies in no section")

    base = offset(resource_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield name, target

    found = {}
    for type_id, type_target in entries(0):
        if type_id != want_type or not type_target & 0x80000000:
            continue
        for name_id, name_target in entries(type_target & 0x7FFFFFFF):
            if not name_target & 0x80000000:
                raise PeError("resource name entry without a language level")
            for language, leaf in entries(name_target & 0x7FFFFFFF):
                if leaf & 0x80000000:
                    raise PeError("resource language entry is not a data entry")
                data_rva, size = struct.unpack_from("<II", data, base + leaf)
                start = offset(data_rva)
                found[(name_id, language)] = data[start:start + size]
    return found


def manifest_problems(xml_bytes):
    """What is wrong with one manifest, as texts; empty when it is right."""
    try:
        root = ET.fromstring(xml_bytes)
    except ET.ParseError as e:
        return [f"the manifest is not XML: {e}"]
    problems = []
    if root.tag != ASM_V1 + "assembly":
        problems.append(f"root element {root.tag}")
    levels = root.findall(f"{ASM_V3}trustInfo/{ASM_V3}security/{ASM_V3}requestedPrivileges/"
                          f"{ASM_V3}requestedExecutionLevel")
    if len(levels) != 1:
        problems.append(f"{len(levels)} requestedExecutionLevel elements, want 1")
    else:
        level = levels[0]
        if level.get("level") != "asInvoker":
            problems.append(f"execution level {level.get('level')!r}, want 'asInvoker'")
        if level.get("uiAccess", "false").lower() != "false":
            problems.append(f"uiAccess {level.get('uiAccess')!r}")
    declared = {e.get("Id", "").lower() for e in root.findall(f"{COMPAT}compatibility/{COMPAT}application/"
                                                              f"{COMPAT}supportedOS")}
    for guid, name in SUPPORTED_OS.items():
        if guid not in declared:
            problems.append(f"{name} ({guid}) is not declared supported")
    return problems


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    dist = sys.argv[1]
    programs = sorted(os.path.relpath(os.path.join(folder, name), dist)
                      for folder, _, names in os.walk(dist) for name in names if name.lower().endswith(".exe"))
    if not programs:
        sys.exit(f"FAIL: no program in {dist}")
    failures = []
    for rel in programs:
        with open(os.path.join(dist, rel), "rb") as f:
            data = f.read()
        try:
            found = resources(data, RT_MANIFEST)
        except (PeError, struct.error) as e:
            failures.append(f"{rel}: not a readable PE file: {e}")
            continue
        main_manifests = [body for (name, _), body in found.items() if name == CREATEPROCESS_MANIFEST_RESOURCE_ID]
        if len(main_manifests) != 1:
            failures.append(f"{rel}: {len(main_manifests)} manifests with id 1 (resources {sorted(found)}), want 1")
            continue
        problems = manifest_problems(main_manifests[0])
        failures += [f"{rel}: {p}" for p in problems]
        if not problems:
            print(f"{rel}: asInvoker, supports {', '.join(SUPPORTED_OS.values())}")
    if failures:
        print("\n".join("FAIL: " + f for f in failures), file=sys.stderr)
        sys.exit(1)
    print(f"check_manifests: {len(programs)} programs carry the manifest")


if __name__ == "__main__":
    main()
