#!/usr/bin/env python3
"""Checks one velmar-device --diagnose run. Its output is a few lines for a person and then, as the last
line, the report: one JSON object (read by Python's json module) with every section. Exactly the expected
checks fail, each with its Spanish error and solution texts; the person's lines tell each fault and what
to do, and name the log folders for support; the exit status is 0 when nothing fails and 1 otherwise.
No check ever advises copying or replacing one of Windows' own libraries.

While the host carries no version resource ("version" is null), its "version" check fails as well and
is accepted in addition to the expected ones."""
import argparse
import json
import sys

SECTIONS = ["version", "host", "captureApps", "running", "pipes", "jpeg", "logs", "checks"]
CAPTURE_A = "capture/futronic/velmar-capture-a.exe"
CAPTURE_B = "capture/dpfpdd/velmar-capture-b.exe"
SUMMARY_FAULTS = 6  # faults the person's lines spell out


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("output")
    p.add_argument("status", type=int)
    p.add_argument("expected", nargs="*", help="the names of the checks that must fail")
    p.add_argument("--error-has", help="a failed check's error text contains this")
    p.add_argument("--kind", nargs=2, action="append", default=[], metavar=("LIBRARY", "KIND"),
                   help="capture-a's library is reported as KIND")
    p.add_argument("--system-support", choices=["true", "false"], help="capture-a's systemSupport")
    p.add_argument("--appdata", help="the Windows path of LOCALAPPDATA the run had")
    p.add_argument("--newest", nargs=2, action="append", default=[], metavar=("PROGRAM", "FILE"),
                   help="the newest log of PROGRAM is FILE in its folder")
    return p.parse_intermixed_args()


def main():
    args = parse_args()
    lines = open(args.output, "rb").read().decode("utf-8").splitlines()
    assert len(lines) >= 2, f"expected the person's lines and the report, got {lines}"
    report = json.loads(lines[-1])
    person = lines[:-1]
    assert list(report) == SECTIONS, f"members {list(report)}"
    expected = set(args.expected)
    if report["version"] is None:
        expected.add("version")

    checks = report["checks"]
    names = [c["name"] for c in checks]
    assert len(names) == len(set(names)), "check names repeat"
    for c in checks:
        assert list(c) == ["name", "ok", "error", "solution"], c
        if c["ok"]:
            assert c["error"] == "" and c["solution"] == "", c
        else:
            assert c["error"] and c["solution"], f"failed check without both texts: {c}"
    failed = {c["name"] for c in checks if not c["ok"]}
    assert failed == expected, f"failed checks {sorted(failed)}, expected {sorted(expected)}"
    want_status = 0 if not failed else 1
    assert args.status == want_status, f"exit status {args.status}, expected {want_status}"
    if args.error_has is not None:
        texts = [c["error"] for c in checks if not c["ok"] and c["name"] != "version"]
        assert any(args.error_has in t for t in texts), f"no error text with {args.error_has!r}: {texts}"

    apps = {a["path"]: a for a in report["captureApps"]}
    assert set(apps) >= {CAPTURE_A, CAPTURE_B}, apps.keys()
    for app in apps.values():
        for lib in app.get("libraries", []):
            if lib["kind"] != "system":
                continue
            for c in checks:
                assert f"Copie {lib['name']}" not in c["solution"] and f"Reemplace {lib['name']}" not in c["solution"], c
            if not app["systemSupport"]:
                assert f"{app['path']} {lib['name']}" not in names, f"{lib['name']} checked without system support"
    libs = {l["name"]: l for l in apps[CAPTURE_A].get("libraries", [])}
    for name, kind in args.kind:
        assert name in libs and libs[name]["kind"] == kind, f"{name} should be {kind}: {libs.get(name)}"
    if args.system_support is not None:
        assert apps[CAPTURE_A]["systemSupport"] == (args.system_support == "true"), apps[CAPTURE_A]
    assert report["pipes"]["bytes"] == 65536 and report["pipes"]["ok"], report["pipes"]
    assert report["jpeg"] == {"gdiplus": True, "encoder": True}, report["jpeg"]
    assert [m["mutex"] for m in report["running"]] == ["Futronic", "VELMAR-CAPTURE-B-1.0"]

    logs = report["logs"]
    assert [l["program"] for l in logs] == ["velmar-device", "velmar-capture-a", "velmar-capture-b"], logs
    if args.appdata is not None:
        for l in logs:
            assert l["folder"] == f"{args.appdata}\\velmar\\{l['program']}", l
    newest = dict(args.newest)
    for l in logs:
        want = f"{l['folder']}\\{newest[l['program']]}" if l["program"] in newest else None
        assert l["newest"] == want, f"{l}: newest should be {want}"

    # The person's lines: the verdict, each fault with what to do, the folders to send, no images.
    assert person[0].startswith("Diagnóstico de velmar-device "), person[0]
    faults = list(dict.fromkeys((c["error"], c["solution"]) for c in checks if not c["ok"]))
    if not faults:
        assert person[0].endswith("todo está en orden."), person[0]
    for error, solution in faults[:SUMMARY_FAULTS]:
        at = next((i for i, line in enumerate(person) if line.endswith(". " + error)), None)
        assert at is not None, f"the person's lines do not tell {error!r}: {person}"
        assert person[at + 1] == "   Qué hacer: " + solution, person[at + 1]
    for l in logs:
        assert "   " + l["folder"] in person, f"log folder {l['folder']} not named for support"
    assert person[-1] == "No envíe imágenes de huellas.", person[-1]
    print(f"ok: {len(checks)} checks, failed {sorted(failed)}")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as e:
        print(f"FAIL: {e}", file=sys.stderr)
        sys.exit(1)
