#!/usr/bin/env python3
"""check_readme_snippets.py: README's code for integrators is what the project ships and builds.

    check_readme_snippets.py README EXPORTS_HEADER DLL [DLL ...]

- the C block is examples/c/capture_json.c, character for character (that program is built as C99 for
  both bitnesses and run against both DLLs by the host_json_requests tests);
- every C# block compiles with Debian's mono-mcs: the .NET Framework block as it is, the .NET 6 block
  against csharp/net6_declarations.cs, which declares the two .NET 6 types mono's reference
  assemblies lack (NativeLibrary, JsonSerializer);
- every Python block compiles (byte-compiled; it only runs on Windows);
- README's export table, the functions velmar_device.h declares and each DLL's export table agree:
  every export of each DLL and every declared function is in README's table, and every declared
  function is exported by each DLL.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))


def blocks(readme, language):
    return re.findall(r"^```" + language + r"\n(.*?)^```$", readme, re.S | re.M)


def dll_exports(dll):
    """The names in a DLL's export table, read with the toolchain's objdump."""
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", dll], capture_output=True, text=True, check=True)
    table = dump.stdout.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) != 2:
        raise SystemExit(f"FAIL: {dll} has no export name table")
    names = []
    for line in table[1].splitlines()[1:]:
        m = re.match(r"\s*\[\s*\d+\]\s+(\S+)", line)
        if not m:
            break
        names.append(m[1])
    return set(names)


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    readme_path, header_path, dlls = sys.argv[1], sys.argv[2], sys.argv[3:]
    readme = open(readme_path, encoding="utf-8").read()
    failures = []

    c_blocks = blocks(readme, "c")
    example = open(os.path.join(here, "c", "capture_json.c"), encoding="utf-8").read()
    if len(c_blocks) != 1 or c_blocks[0] != example:
        failures.append(f"README's C block ({len(c_blocks)} blocks) is not examples/c/capture_json.c as it is")
    else:
        print("C: README's block is examples/c/capture_json.c")

    cs_blocks = blocks(readme, "csharp")
    mcs = shutil.which("mcs")
    if not cs_blocks:
        failures.append("README has no C# block")
    elif not mcs:
        failures.append("mcs is missing (Debian's mono-mcs; scripts/setup installs it)")
    with tempfile.TemporaryDirectory() as tmp:
        for n, block in enumerate(cs_blocks if mcs else []):
            source = os.path.join(tmp, f"snippet{n}.cs")
            with open(source, "w", encoding="utf-8") as f:
                f.write(block)
            extra = [os.path.join(here, "csharp", "net6_declarations.cs")] if "NativeLibrary.Load(" in block else []
            built = subprocess.run([mcs, "-target:library", "-warnaserror+", f"-out:{tmp}/snippet{n}.dll", source,
                                    *extra], capture_output=True, text=True)
            first = block.splitlines()[0]
            if built.returncode != 0:
                failures.append(f"C# block {n + 1} ({first}) does not compile:\n{built.stdout}{built.stderr}")
            else:
                print(f"C#: block {n + 1} compiles ({first}{', with the .NET 6 declarations' if extra else ''})")

    py_blocks = blocks(readme, "python")
    if not py_blocks:
        failures.append("README has no Python block")
    for n, block in enumerate(py_blocks):
        try:
            compile(block, f"README python block {n + 1}", "exec")
            print(f"Python: block {n + 1} compiles ({block.splitlines()[0]})")
        except SyntaxError as e:
            failures.append(f"Python block {n + 1} does not compile: {e}")

    section = readme.split("### What the DLL exports", 1)[-1].split("\n### ", 1)[0]
    documented = set()
    for row in re.findall(r"^\| (.+?) \|", section, re.M):
        documented |= set(re.findall(r"\b([A-Za-z]\w*)\(", row)) | set(re.findall(r"`(\w+)`", row))
    header = open(header_path, encoding="utf-8").read()
    declared = set(re.findall(r"VELMAR_DEVICE_CALL\s+(\w+)\s*\(", header))
    if not declared:
        failures.append(f"{header_path} declares no function")
    for name in sorted(declared - documented):
        failures.append(f"{os.path.basename(header_path)} declares {name}, README's export table lacks it")
    for dll in dlls:
        exported = dll_exports(dll)
        for name in sorted(exported - documented):
            failures.append(f"{dll} exports {name}, README's export table lacks it")
        for name in sorted(declared - exported):
            failures.append(f"{os.path.basename(header_path)} declares {name}, {dll} does not export it")
        print(f"exports of {dll}: {' '.join(sorted(exported))}")

    if failures:
        print("\n".join("FAIL: " + f for f in failures), file=sys.stderr)
        sys.exit(1)
    print("check_readme_snippets: README's code and export list agree with the project")


if __name__ == "__main__":
    main()
