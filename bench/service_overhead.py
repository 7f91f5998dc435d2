#!/usr/bin/env python3
"""service_overhead.py: what velmar-device --serve adds to a capture over the console path.

usage (from the checkout, after building the win64 preset's velmar-device, velmar-service-start is not
needed):
    cmake/wine-session build/win64 python3 bench/service_overhead.py build/win64 [CAPTURES]

Runs CAPTURES (default 10) captures with velmar-capture-b and its stand-in reader through the service
(POST /v1/capture from Linux over loopback) and as many through the console program (a request line
on standard input, one `wine velmar-device.exe` each). For every service capture the service's log
line gives the time of the console's answer path inside it (answerRequestLine: the capture and its
JSON line); what the service adds is the client's time for the request minus that: reading and
deciding the request, handing it to the capture thread and back, writing about 60 KB of answer and
the client reading it. The console's figure is the wall time of its whole process, Wine's start
included. Prints the figures; the goal for the service's addition is under 50 ms.
"""
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(root, "tests", "service"))
from service_lib import Service, make_tree, scenario, winpath  # noqa: E402

build = os.path.abspath(sys.argv[1])
captures = int(sys.argv[2]) if len(sys.argv) > 2 else 10
work = tempfile.mkdtemp(prefix="velmar-service-bench-")
tree = make_tree(os.path.join(work, "tree"), [
    f"{build}/host/velmar-device.exe", f"{build}/host/velmar-device.dll", f"{build}/tools/wsq/wsq.exe",
    f"{root}/capture_dpfpdd/fondo.bmp", f"{build}/stage/capture/futronic",
    f"{build}/capture_dpfpdd/velmar-capture-b.exe", f"{build}/devices/dpfpdd/dpfpdd.dll"])
scenario_file = os.path.join(work, "scenario.ini")
scenario(scenario_file)
env = {"VIRTUAL_SCANNER_SCENARIO": winpath(scenario_file)}
app = winpath(os.path.join(tree, "capture", "dpfpdd", "velmar-capture-b.exe"))

added, service_wall = [], []
with Service(tree, os.path.join(work, "service"), env=env) as service:
    for n in range(captures):
        start = time.perf_counter()
        status, _, body = service.request("POST", "/v1/capture", {"device": "dpfpdd", "message": "Coloque el dedo"})
        took = (time.perf_counter() - start) * 1000
        if status != 200 or json.loads(body)["exitcode"] != "0":
            sys.exit(f"service capture {n}: {status} {body[:200]!r}")
        inside = []
        for _ in range(50):  # the log is written by its own thread
            inside = [int(m.group(1)) for m in (re.search(r"http POST /v1/capture .* \(capture (\d+) ms\)", line)
                                                for line in service.log_lines()) if m]
            if len(inside) == n + 1:
                break
            time.sleep(0.1)
        else:
            sys.exit(f"service capture {n}: no log line with its answer path's time")
        added.append(took - inside[-1])
        service_wall.append(took)

console_wall = []
for n in range(captures):
    request = json.dumps({"command": app, "message": "Coloque el dedo"}) + "\n\n"
    folder = os.path.join(work, f"console-{n}")
    os.makedirs(folder)
    start = time.perf_counter()
    run = subprocess.run(["wine", os.path.join(tree, "velmar-device.exe")], input=request.encode(), cwd=folder,
                         capture_output=True, timeout=120, env={**os.environ, **env})
    console_wall.append((time.perf_counter() - start) * 1000)
    if json.loads(run.stdout.decode().splitlines()[0])["exitcode"] != "0":
        sys.exit(f"console capture {n}: {run.stdout[:200]!r}")


def figures(values):
    return f"median {statistics.median(values):.1f} ms, min {min(values):.1f}, max {max(values):.1f}"


print(f"{captures} captures with velmar-capture-b (stand-in reader, default scenario)")
print(f"service, added to the answer path:  {figures(added)}  (goal: under 50 ms)")
print(f"service, whole request:             {figures(service_wall)}")
print(f"console, whole process:             {figures(console_wall)}")
subprocess.run(["rm", "-rf", work])
