#!/usr/bin/env python3
"""service_browser.py: the example page (examples/web/index.html) in a real browser against
velmar-device --serve under Wine.

usage: service_browser.py ARTEFACTS NODE_MODULES_DIR TREE_ARGS...

The page is served by Python's http.server on a free port; the service allows the origin
http://localhost:PAGE_PORT only, so the same page opened as http://127.0.0.1:PAGE_PORT is a page of an
origin not allowed. Headless chromium (example_page.js) then: captures with the futronic device and shows
the JPEG (screenshot kept); Cancelar during a capture shows the 208 texts; the page not allowed gets no
answer and starts no capture (the service's log shows its 403 and no capture started).
"""
import functools
import http.server
import os
import shutil
import subprocess
import sys
import threading

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from expected_texts import TEXTS  # noqa: E402
from service_lib import Service, fail, free_port, make_tree, scenario, winpath  # noqa: E402

art, node_modules = sys.argv[1], sys.argv[2]
tree_args = sys.argv[3:]
shutil.rmtree(art, ignore_errors=True)
tree = make_tree(os.path.join(art, "tree"), tree_args)
scenario_file = os.path.join(art, "scenario.ini")
scenario(scenario_file)
page_dir = os.path.join(HERE, "..", "..", "examples", "web")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


pages = http.server.ThreadingHTTPServer(("127.0.0.1", free_port()),
                                        functools.partial(QuietHandler, directory=page_dir))
threading.Thread(target=pages.serve_forever, daemon=True).start()
page_port = pages.server_address[1]
allowed = f"http://localhost:{page_port}"
foreign = f"http://127.0.0.1:{page_port}"


def browser(step, service, *extra):
    url = f"{foreign if step == 'refused' else allowed}/index.html?port={service.port}"
    run = subprocess.run(["node", os.path.join(HERE, "browser", "example_page.js"), step, url, art, *extra],
                         capture_output=True, text=True, timeout=300,
                         env={**os.environ, "NODE_PATH": node_modules})
    if run.returncode != 0:
        fail(f"{step}: {run.stderr.strip()} {run.stdout.strip()}")
    print(run.stdout.strip())


with Service(tree, os.path.join(art, "service"), ["--allow-origin", allowed],
             {"VIRTUAL_SCANNER_SCENARIO": winpath(scenario_file)}) as service:
    print(f"service on port {service.port}, page at {allowed}")
    browser("capture", service)

    scenario(scenario_file, "timeline = none")
    error, solution = TEXTS[208]
    browser("cancel", service, f"http://127.0.0.1:{service.port}/v1/info", error, solution)
    scenario(scenario_file)

    before = service.captures_started()
    browser("refused", service)
    lines = [line for line in service.log_lines() if f"origin {foreign} status 403" in line]
    if not lines:
        fail(f"no 403 for {foreign} in the service's log")
    if service.captures_started() != before:
        fail("the page not allowed started a capture")
    print(f"refused page: {len(lines)} request(s) answered 403, no capture started")
pages.shutdown()
print("ok")
