"""service_lib.py: velmar-device --serve under Wine, driven from Linux over loopback, for the service's
tests and its benchmark. Needs the environment of cmake/wine-session (WINEPREFIX, DISPLAY).

A test lays down its own installed tree (make_tree.sh), starts the service from it on a free port with
its working folder (where the host log goes) in the test's artefact folder, and talks HTTP with
http.client, setting Host and Origin itself so that any value can be sent. Every wait is bounded.
"""
import getpass
import glob
import http.client
import json
import os
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True


def fail(reason):
    print(f"FAIL: {reason}", file=sys.stderr)
    sys.exit(1)


def free_port():
    """A port nothing listens on now (the system picks it), so parallel runs never share one."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def host_log_folder():
    """The Linux path of the host log folder of the prefix's user (Wine gives a program started from
    Linux the profile's LOCALAPPDATA, whatever the environment says)."""
    users = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users")
    return os.path.join(users, getpass.getuser(), "AppData", "Local", "velmar", "velmar-device")


def winpath(path):
    """The Windows name of a Linux path (Wine maps / to Z:)."""
    return "Z:" + os.path.realpath(path).replace("/", "\\")


class Client:
    """HTTP to a service on port, and the host log it writes in its working folder workdir."""

    def __init__(self, port, workdir):
        self.port, self.workdir = port, workdir
        self.started = time.time()

    def request(self, method, path, body=None, origin=None, host=None, headers=None, timeout=120):
        """(status, headers as a dict with lower-case names, body bytes). body: bytes, str or a dict (JSON)."""
        if isinstance(body, dict):
            body = json.dumps(body)
        if isinstance(body, str):
            body = body.encode("utf-8")
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            connection.putrequest(method, path, skip_host=True, skip_accept_encoding=True)
            connection.putheader("Host", host or f"127.0.0.1:{self.port}")
            if origin:
                connection.putheader("Origin", origin)
            for name, value in (headers or {}).items():
                connection.putheader(name, value)
            if body is not None and "Transfer-Encoding" not in (headers or {}):
                connection.putheader("Content-Length", str(len(body)))
            connection.endheaders(body, encode_chunked="Transfer-Encoding" in (headers or {}))
            response = connection.getresponse()
            return response.status, {k.lower(): v for k, v in response.getheaders()}, response.read()
        finally:
            connection.close()

    def json(self, method, path, body=None, **kw):
        status, headers, data = self.request(method, path, body, **kw)
        try:
            return status, headers, json.loads(data)
        except ValueError:
            fail(f"{method} {path} answered {status} with a body that is not JSON: {data[:200]!r}")

    def log_lines(self):
        """The host log lines this service wrote. The host log lives in the user's folder of the prefix
        (%LOCALAPPDATA%\\velmar\\velmar-device), shared with every other run there: this service's files are
        those written since it started that name its own port in their "serving" line."""
        lines = []
        mark = f"serving http://127.0.0.1:{self.port}/"
        for path in sorted(glob.glob(os.path.join(host_log_folder(), "*.log"))):
            if os.path.getmtime(path) < self.started - 2:
                continue
            with open(path, "rb") as f:
                file_lines = f.read().decode("utf-8", "replace").splitlines()
            if any(mark in line for line in file_lines):
                lines += file_lines
        return lines

    def captures_started(self):
        return sum("capture(biodevice=" in line for line in self.log_lines())


class Service(Client):
    """One velmar-device --serve process. Use as a context manager: it is stopped on exit."""

    def __init__(self, tree, workdir, args=(), env=None, port=None):
        super().__init__(port or free_port(), workdir)
        self.tree = tree
        os.makedirs(workdir, exist_ok=True)
        self.out = open(os.path.join(workdir, "service-stdout.txt"), "wb")
        self.err = open(os.path.join(workdir, "service-stderr.txt"), "wb")
        command = ["wine", os.path.join(tree, "velmar-device.exe"), "--serve", "--port", str(self.port), *args]
        self.process = subprocess.Popen(command, cwd=workdir, stdin=subprocess.DEVNULL, stdout=self.out,
                                        stderr=self.err, env={**os.environ, **(env or {})})

    def wait_ready(self, seconds=60):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                fail(f"the service ended with {self.process.returncode}: {self.stderr()}")
            try:
                status, _, _ = self.request("GET", "/v1/info", timeout=2)
                if status == 200:
                    return self
            except OSError:
                pass
            time.sleep(0.2)
        fail(f"the service did not answer within {seconds} s: {self.stderr()}")

    def __enter__(self):
        return self.wait_ready()

    def __exit__(self, *_):
        self.stop()

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(30)
        self.out.close()
        self.err.close()

    def stderr(self):
        self.err.flush()
        with open(self.err.name, "rb") as f:
            return f.read().decode("utf-8", "replace").strip()


def make_tree(dest, tree_args):
    subprocess.run(["bash", os.path.join(HERE, "make_tree.sh"), dest, *tree_args], check=True,
                   stdout=subprocess.DEVNULL)
    return dest


def scenario(path, *lines):
    """Writes the virtual scanners' scenario file (both stand-ins read the file VIRTUAL_SCANNER_SCENARIO
    names when a capture starts, so a test changes it between captures)."""
    with open(path, "w") as f:
        f.write("".join(line + "\n" for line in lines))


def wait_until(what, condition, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.1)
    fail(f"{what} within {seconds} s")
