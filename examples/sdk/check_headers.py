#!/usr/bin/env python3
"""check_headers.py: the SDK's headers as integrators' compilers see them. velmar_device.h and
velmar_result_codes.h compile, warning-free and pedantic, with the system's gcc as C99 and C11 and
with g++ as C++98, C++11 and C++17, outside Windows (where __stdcall is unknown); the C program built
from them prints the table of velmar_result_codes.h, which must be the one of
sdk/velmar_result_codes.json, text for text (so the header's escaped texts are the JSON's texts).

    check_headers.py INCLUDE_DIR JSON_FILE
"""
import json
import os
import subprocess
import sys
import tempfile

RETRY = {"n/a": 0, "yes": 1, "after-fix": 2}
here = os.path.dirname(os.path.abspath(__file__))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    include, json_file = sys.argv[1:]
    source = os.path.join(here, "print_result_codes.c")
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        builds = [("gcc", "-x", "c", "-std=c99"), ("gcc", "-x", "c", "-std=c11"), ("g++", "-x", "c++", "-std=c++98"),
                  ("g++", "-x", "c++", "-std=c++11"), ("g++", "-x", "c++", "-std=c++17")]
        programs = []
        for n, (compiler, *language) in enumerate(builds):
            program = os.path.join(tmp, f"print{n}")
            command = [compiler, *language, "-Wall", "-Wextra", "-pedantic", "-Werror", "-I", include, source,
                       "-o", program]
            built = subprocess.run(command, capture_output=True, text=True)
            if built.returncode != 0:
                failures.append(f"{' '.join(command[:4])}: {built.stderr.strip()}")
            else:
                programs.append((" ".join(command[:4]), program))
                print(f"compiles: {' '.join(command[:4])}")
        with open(json_file, encoding="utf-8") as f:
            want = [(e["code"], e["name"], e["error"], e["solution"], RETRY[e["retry"]]) for e in json.load(f)]
        for label, program in programs:
            run = subprocess.run([program], capture_output=True, text=True)
            if run.returncode != 0:
                failures.append(f"{label}: the program ended with {run.returncode}")
                continue
            have = []
            for line in run.stdout.splitlines():
                code, name, error, solution, retry = line.split("\t")
                have.append((int(code), name, bytes.fromhex(error).decode("utf-8"),
                             bytes.fromhex(solution).decode("utf-8"), int(retry)))
            if have != want:
                differing = [f"{h} != {w}" for h, w in zip(have, want) if h != w]
                failures.append(f"{label}: the header's table differs from {os.path.basename(json_file)} "
                                f"({len(have)} against {len(want)} codes): {differing[:2]}")
    if failures:
        print("\n".join("FAIL: " + f for f in failures), file=sys.stderr)
        sys.exit(1)
    print(f"check_headers: {len(want)} codes, header and JSON agree")


if __name__ == "__main__":
    main()
