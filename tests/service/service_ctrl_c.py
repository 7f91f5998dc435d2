#!/usr/bin/env python3
"""service_ctrl_c.py: Ctrl+C in the service's console while a capture runs. The service runs in a
pseudo-terminal (Wine then gives it a console, and a ^C typed there reaches it as Ctrl+C); it must stop
accepting, end the running capture and send its answer, and exit with 0.

On Windows the capture application, a GUI program, has no console, so the service's cancel ends it and
its answer is the 208 line. Under Wine the capture application shares the service's console and the
same Ctrl+C ends it first (its answer is then 109, nothing received); the test takes either.

usage: service_ctrl_c.py ARTEFACTS TREE_ARGS...
"""
import os
import pty
import shutil
import socket
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from service_lib import Client, fail, free_port, make_tree, scenario, wait_until, winpath  # noqa: E402

art = sys.argv[1]
shutil.rmtree(art, ignore_errors=True)
tree = make_tree(os.path.join(art, "tree"), sys.argv[2:])
scenario_file = os.path.join(art, "scenario.ini")
scenario(scenario_file, "timeline = none")
workdir = os.path.join(art, "service")
os.makedirs(workdir)
port = free_port()

pid, terminal = pty.fork()
if pid == 0:
    os.chdir(workdir)
    os.environ["VIRTUAL_SCANNER_SCENARIO"] = winpath(scenario_file)
    os.execvp("wine", ["wine", os.path.join(tree, "velmar-device.exe"), "--serve", "--port", str(port)])

screen = bytearray()
ended = []


def read_terminal():
    """Keeps the terminal's output flowing (and kept) until the program ends."""
    while True:
        try:
            data = os.read(terminal, 4096)
        except OSError:
            return
        if not data:
            return
        screen.extend(data)


threading.Thread(target=read_terminal, daemon=True).start()


def status():
    if not ended:
        done, code = os.waitpid(pid, os.WNOHANG)
        if done:
            ended.append(os.waitstatus_to_exitcode(code))
    return ended[0] if ended else None


try:
    service = Client(port, workdir)  # this script owns the process

    def ready():
        try:
            return service.request("GET", "/v1/info", timeout=2)[0] == 200
        except OSError:
            return status() is not None
    wait_until("no service", ready, 60)
    if status() is not None:
        fail(f"the service ended with {status()} before it served")

    answer = {}
    capturing = threading.Thread(target=lambda: answer.update(reply=service.json(
        "POST", "/v1/capture", {"device": "futronic", "timeout": 60000})))
    capturing.start()
    wait_until("no capture window", lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--classname", "velmar-capture-a.exe"],
        capture_output=True).returncode == 0)
    started = time.monotonic()
    os.write(terminal, b"\x03")  # ^C typed into the console
    wait_until("the program still running after Ctrl+C", lambda: status() is not None, 30)
    took = time.monotonic() - started
    capturing.join(30)
    if status() != 0:
        fail(f"velmar-device --serve ended with {status()} after Ctrl+C, want 0")
    reply = answer.get("reply")
    if not reply or reply[0] != 200 or reply[2].get("exitcode") not in ("208", "109"):
        fail(f"the running capture's answer: {reply}")
    try:
        socket.create_connection(("127.0.0.1", port), timeout=2).close()
        fail("the port still accepts after Ctrl+C")
    except OSError:
        pass
    stopping = [line for line in service.log_lines() if "http service stop" in line]
    print(f"Ctrl+C: the running capture answered {reply[2]['exitcode']}, the program ended with 0 after {took:.1f} s; "
          f"log: {[line.split(' LOG_INFO ')[-1] for line in stopping]}")
finally:
    if status() is None:
        os.kill(pid, 9)
        os.waitpid(pid, 0)
    with open(os.path.join(art, "terminal.txt"), "wb") as f:
        f.write(bytes(screen))
print("ok")
