#!/usr/bin/env python3
"""service_http.py: velmar-device --serve under Wine, driven from Linux over loopback as a web page's
browser or a local program would.

usage: service_http.py ARTEFACTS PRODUCT_ENV CHECK_LINE_PY TREE_ARGS...

- GET /v1/info: the product version, busy false, both devices installed (and one not, once its
  application is gone); GET /v1/diagnose: the --diagnose report;
- a client that waits for 100 Continue before its body is not kept waiting;
- every refusal (foreign Host, foreign Origin, two Origins, a "command" member, an unknown device,
  malformed JSON, an oversized body declared or chunked, an unknown path, a wrong method, a head that
  is not HTTP) answered {"status", "reason"} with CORS headers only for the allowed origin, and no
  capture started by any of them;
- a capture with each device answered 200 with the JSON line, checked with check_line.py (JSON parser,
  ImageMagick, the project's WSQ decoder), and a failure answered with exactly the bytes the console
  prints for the same request;
- while a capture runs: a second capture 409 with the 202 line, 500 GET /v1/info all answered busy,
  then POST /v1/cancel {"cancelled": true} and the capture's answer 208 (both devices); a cancel with
  nothing running {"cancelled": false};
- idle and slow connections closed, connections beyond the bound closed, the service still serving;
- the origins file beside the program; a port in use ends a second service with status 1 naming it.
"""
import json
import os
import select
import shutil
import socket
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from expected_texts import TEXTS  # noqa: E402
from service_lib import Service, fail, free_port, make_tree, scenario, wait_until, winpath  # noqa: E402

art, product_env, check_line = sys.argv[1], sys.argv[2], sys.argv[3]
tree_args = sys.argv[4:]
version = dict(line.split("=", 1) for line in open(product_env).read().split()
               if "=" in line)["VELMAR_VERSION"]
PAGE = "http://localhost:8080"
FILE_ORIGIN = "https://clinic.example"

shutil.rmtree(art, ignore_errors=True)
tree = make_tree(os.path.join(art, "tree"), tree_args)
with open(os.path.join(tree, "velmar-device-origins.txt"), "w") as f:
    f.write(f"# the clinic's own pages\r\n{FILE_ORIGIN}/\r\n\r\nnot an origin\r\n")
scenario_file = os.path.join(art, "scenario.ini")
scenario(scenario_file)
env = {"VIRTUAL_SCANNER_SCENARIO": winpath(scenario_file)}


def expect(label, condition, detail=""):
    if not condition:
        fail(f"{label} {detail}")


def expect_line(label, body, code):
    """The answer of a capture is the console's JSON line: checked by check_line.py."""
    out = os.path.join(art, label)
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "answer.txt"), "wb") as f:
        f.write(body)
    opts = ["--jpeg-any"] if "dpfpdd" in label else []
    run = subprocess.run([sys.executable, check_line, *opts, os.path.join(out, "answer.txt"), str(code), out, "wine",
                          os.path.join(tree, "wsq.exe")], capture_output=True, text=True)
    expect(label, run.returncode == 0, run.stderr.strip())
    print(f"{label}: {run.stdout.strip()}")


def capture_window(device):
    """The X window of the running capture application (bounded wait)."""
    search = ["--classname", "velmar-capture-a.exe" if device == "futronic" else "velmar-capture-b.exe"]
    found = []

    def shown():
        run = subprocess.run(["xdotool", "search", "--onlyvisible", *search], capture_output=True, text=True)
        found[:] = run.stdout.split()
        return bool(found)
    wait_until(f"no {device} capture window", shown)
    return found[0]


with Service(tree, os.path.join(art, "service"), ["--allow-origin", PAGE], env) as service:
    print(f"service on port {service.port}: {service.stderr()}")
    expect("the origins file's refused line", "not an origin, ignored: not an origin" in service.stderr(),
           service.stderr())

    # --- info
    status, headers, info = service.json("GET", "/v1/info")
    expect("info", status == 200 and info == {"version": version, "busy": False, "devices": [
        {"name": "futronic", "installed": True}, {"name": "dpfpdd", "installed": True}]}, info)
    expect("info without Origin has no CORS", "access-control-allow-origin" not in headers, headers)
    b_exe = os.path.join(tree, "capture", "dpfpdd", "velmar-capture-b.exe")
    os.rename(b_exe, b_exe + ".away")
    _, _, info = service.json("GET", "/v1/info", host=f"localhost:{service.port}")
    os.rename(b_exe + ".away", b_exe)
    expect("info with capture-b gone", info["devices"][1] == {"name": "dpfpdd", "installed": False}, info)
    print(f"info: {info}")

    # --- diagnose: the --diagnose report
    status, _, report = service.json("GET", "/v1/diagnose", origin=PAGE)
    expect("diagnose", status == 200 and isinstance(report.get("checks"), list) and report["checks"]
           and {"captureApps", "running", "version"} <= set(report), f"{status} {sorted(report)}")
    print(f"diagnose: {len(report['checks'])} checks")

    # --- a client that waits for 100 Continue before its body (curl does for larger bodies)
    curl = subprocess.run(["curl", "-s", "-m", "20", "-w", " %{http_code} %{time_total}", "-H", f"Origin: {PAGE}",
                           "-H", "Expect: 100-continue",
                           "-d", json.dumps({"device": "optical", "message": "x" * 2000}),
                           f"http://127.0.0.1:{service.port}/v1/capture"], capture_output=True, text=True)
    code, seconds = curl.stdout.split()[-2:]
    expect("curl with Expect: 100-continue", code == "400" and float(seconds) < 0.9, curl.stdout[-200:])

    # --- refusals: answered as JSON, CORS only for the allowed page, nothing started
    good = {"device": "futronic", "message": "Coloque el dedo"}
    port = service.port
    refusals = [
        ("foreign Host", dict(method="POST", path="/v1/capture", body=good, host=f"evil.example:{port}"), 403, False),
        ("foreign Host with the page's Origin", dict(method="POST", path="/v1/capture", body=good, origin=PAGE,
                                                     host=f"evil.example:{port}"), 403, False),
        ("foreign Origin", dict(method="POST", path="/v1/capture", body=good, origin="https://evil.example"), 403,
         False),
        ("foreign Origin preflight", dict(method="OPTIONS", path="/v1/capture", origin="https://evil.example",
                                          headers={"Access-Control-Request-Method": "POST"}), 403, False),
        ("null Origin", dict(method="POST", path="/v1/capture", body=good, origin="null"), 403, False),
        ("two Origins", dict(method="POST", path="/v1/capture", body=good, origin=PAGE,
                             headers={"Origin": "https://evil.example"}), 403, False),
        ("command member", dict(method="POST", path="/v1/capture", origin=PAGE, body={
            "device": "futronic", "command": "C:\\Windows\\System32\\calc.exe"}), 400, True),
        ("command without device", dict(method="POST", path="/v1/capture", body={
            "command": winpath(os.path.join(tree, "capture", "futronic", "velmar-capture-a.exe")),
            "message": "m"}), 400, False),
        ("unknown device", dict(method="POST", path="/v1/capture", origin=PAGE, body={"device": "optical"}), 400, True),
        ("malformed JSON", dict(method="POST", path="/v1/capture", origin=PAGE, body='{"device": "futronic",'), 400,
         True),
        ("oversized body", dict(method="POST", path="/v1/capture", origin=PAGE,
                                body=json.dumps({"device": "futronic", "message": "x" * 70000})), 413, True),
        ("oversized chunked body", dict(method="POST", path="/v1/capture", origin=PAGE,
                                        body=json.dumps({"device": "futronic", "message": "x" * 70000}),
                                        headers={"Transfer-Encoding": "chunked"}), 413, True),
        ("unknown path", dict(method="GET", path="/v1/capture/../../etc", origin=PAGE), 404, True),
        ("wrong method", dict(method="GET", path="/v1/capture", origin=PAGE), 405, True),
    ]
    for label, call, want, cors in refusals:
        status, headers, body = service.json(call.pop("method"), call.pop("path"), call.pop("body", None), **call)
        expect(label, status == want and body.get("status") == want and isinstance(body.get("reason"), str)
               and body["reason"] and set(body) == {"status", "reason"}, f"{status} {body}")
        expect(f"{label}: CORS", ("access-control-allow-origin" in headers) == cors, headers)
        if cors:
            expect(f"{label}: CORS origin", headers["access-control-allow-origin"] == PAGE
                   and headers.get("vary") == "Origin", headers)
        print(f"{label}: {status} {body['reason']}")
    with socket.create_connection(("127.0.0.1", port), timeout=10) as raw:
        raw.sendall(b"HELLO THERE\r\n\r\n")
        answer = raw.recv(4096)
    expect("a head that is not HTTP", answer.startswith(b"HTTP/1.1 400"), answer[:100])
    expect("refusals started nothing", service.captures_started() == 0, service.captures_started())

    # --- CORS for allowed origins, the origins file's included
    for origin in (PAGE, FILE_ORIGIN):
        status, headers, _ = service.request("OPTIONS", "/v1/capture", origin=origin, headers={
            "Access-Control-Request-Method": "POST", "Access-Control-Request-Headers": "content-type",
            "Access-Control-Request-Private-Network": "true"})
        expect(f"preflight from {origin}", status == 204 and headers.get("access-control-allow-origin") == origin
               and headers.get("access-control-allow-private-network") == "true"
               and "POST" in headers.get("access-control-allow-methods", "")
               and headers.get("access-control-allow-headers", "").lower() == "content-type", f"{status} {headers}")
    print("preflights: the page's and the origins file's origin answered with CORS")

    # --- a capture with each device
    for device in ("futronic", "dpfpdd"):
        status, headers, body = service.request("POST", "/v1/capture", {"device": device, "message": "Coloque el dedo"},
                                                origin=PAGE)
        expect(f"capture {device}", status == 200 and headers.get("access-control-allow-origin") == PAGE, status)
        expect_line(f"capture-{device}", body, 0)

    # A failure answers the console's own bytes for the same request: no finger within 2 s gives 203.
    scenario(scenario_file, "timeline = none")
    status, _, body = service.request("POST", "/v1/capture", {"device": "futronic", "message": "Sin dedo",
                                                              "timeout": 2000})
    expect_line("timeout-futronic", body, 203)
    console_dir = os.path.join(art, "console")
    os.makedirs(console_dir, exist_ok=True)
    request = json.dumps({"command": winpath(os.path.join(tree, "capture", "futronic", "velmar-capture-a.exe")),
                          "message": "Sin dedo", "timeout": 2000})
    console = subprocess.run(["wine", os.path.join(tree, "velmar-device.exe")], cwd=console_dir,
                             input=(request + "\n\n").encode(), capture_output=True, timeout=120,
                             env={**os.environ, **env})
    printed = console.stdout.replace(b"\r\n", b"\n").split(b"\n")[0] + b"\n"
    expect("the service's failure line is the console's", body == printed, f"{body!r} vs {printed!r}")
    print("timeout: the service answered the console's line byte for byte")

    # --- busy, 500 info requests during a capture, cancel
    status, _, cancelled = service.json("POST", "/v1/cancel", origin=PAGE)
    expect("cancel with nothing running", status == 200 and cancelled == {"cancelled": False}, cancelled)
    for device, waiting in (("futronic", "timeline = none"), ("dpfpdd", "report = none")):
        scenario(scenario_file, waiting)
        answer = {}

        def run_capture():
            answer["reply"] = service.request("POST", "/v1/capture", {"device": device, "timeout": 60000}, origin=PAGE)
        capturing = threading.Thread(target=run_capture)
        capturing.start()
        wait_until("no busy service", lambda: service.json("GET", "/v1/info")[2]["busy"])
        window = capture_window(device)
        status, headers, second = service.json("POST", "/v1/capture", {"device": "futronic"}, origin=PAGE)
        expect("second capture", status == 409 and second["exitcode"] == "202"
               and (second["error"], second["solution"]) == TEXTS[202]
               and headers.get("access-control-allow-origin") == PAGE, f"{status} {second}")

        if device == "futronic":
            results = []

            def ask_info(n):
                for _ in range(n):
                    s, _, i = service.json("GET", "/v1/info", timeout=30)
                    results.append((s, i["busy"]))
            askers = [threading.Thread(target=ask_info, args=(125,)) for _ in range(4)]
            started = time.monotonic()
            for t in askers:
                t.start()
            for t in askers:
                t.join()
            took = time.monotonic() - started
            expect("500 info during a capture", len(results) == 500 and all(r == (200, True) for r in results),
                   f"{len(results)} answers, {sum(r != (200, True) for r in results)} not 200 busy")
            print(f"500 GET /v1/info during a capture: all 200 busy in {took:.1f} s")

        status, _, cancelled = service.json("POST", "/v1/cancel", origin=PAGE)
        expect(f"cancel {device}", status == 200 and cancelled == {"cancelled": True}, cancelled)
        capturing.join(60)
        expect(f"the cancelled {device} capture answered", "reply" in answer and answer["reply"][0] == 200)
        expect_line(f"cancelled-{device}", answer["reply"][2], 208)
        wait_until("the service still busy", lambda: not service.json("GET", "/v1/info")[2]["busy"])
        print(f"cancel {device} (window {window}): 409 for a second capture, 208 for the cancelled one")
    scenario(scenario_file)

    # --- connections: idle and slow ones closed, the number bounded
    def closed_within(sock, seconds):
        sock.settimeout(seconds)
        try:
            return sock.recv(1) == b""
        except socket.timeout:
            return False
        except ConnectionError:
            return True
    slow = socket.create_connection(("127.0.0.1", port))
    slow.sendall(b"GET /v1/info HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % port)  # never finishes its head
    idle = socket.create_connection(("127.0.0.1", port))
    started = time.monotonic()
    expect("a slow head closed", closed_within(slow, 15))
    expect("an idle connection closed", closed_within(idle, 15))
    print(f"slow and idle connections closed after {time.monotonic() - started:.1f} s")
    many = [socket.create_connection(("127.0.0.1", port)) for _ in range(40)]
    time.sleep(1)
    # One look at all of them at once, well before the idle time closes the others.
    readable, _, _ = select.select(many, [], [], 0.5)
    shut = sum(closed_within(s, 0.1) for s in readable)
    for s in many:
        s.close()
    expect("connections beyond the bound closed", 5 <= shut <= 10, f"{shut} of 40 closed")
    def answers():
        try:
            return service.json("GET", "/v1/info", timeout=5)[0] == 200
        except OSError:  # closed at once while the service still counts the closed ones
            return False
    wait_until("no answer after the connections were closed", answers)
    print(f"40 connections at once: {shut} closed at once, the service still answers")

    # --- the log: one line per request, no biometric data
    lines = [line for line in service.log_lines() if " http " in line and " status " in line]
    expect("log lines", any(f"http POST /v1/capture origin {PAGE} status 200" in line for line in lines)
           and any("http POST /v1/capture origin https://evil.example status 403" in line for line in lines), lines[:5])
    expect("no image data in the log", not any("/6D/" in line or len(line) > 1000 for line in service.log_lines()))

    # --- a second service on the same port
    second = subprocess.run(["wine", os.path.join(tree, "velmar-device.exe"), "--serve", "--port", str(port)],
                            cwd=os.path.join(art, "service"), capture_output=True, timeout=60)
    message = second.stderr.decode("utf-8", "replace").strip()
    expect("port in use", second.returncode == 1 and f"port {port} is in use" in message, f"{second.returncode} {message}")
    print(f"port in use: status 1, {message}")
print("ok")
