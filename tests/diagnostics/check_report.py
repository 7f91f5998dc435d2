#!/usr/bin/env python3
"""Checks one velmar-device --diagnose run: the line is one JSON object (read by Python's json module)
with every section, exactly the expected checks fail, each failed check has its Spanish error and
solution texts, and the exit status is 0 when nothing fails and 1 otherwise.

usage: check_report.py REPORT STATUS [EXPECTED_FAILED_CHECK ...] [--error-has TEXT] [--kind LIBRARY KIND]

--kind: the library of that name beside capture-a is reported as KIND ("stand-in" or "vendor").

While the host carries no version resource ("version" is null), its "version" check fails as well and
is accepted in addition to the expected ones."""
import json
import sys


def main():
    args = sys.argv[1:]
    error_has = None
    if "--error-has" in args:
        i = args.index("--error-has")
        error_has = args[i + 1]
        del args[i:i + 2]
    kind = None
    if "--kind" in args:
        i = args.index("--kind")
        kind = (args[i + 1], args[i + 2])
        del args[i:i + 3]
    report_path, status, expected = args[0], int(args[1]), set(args[2:])
    raw = open(report_path, "rb").read()
    lines = raw.decode("utf-8").splitlines()
    assert len(lines) == 1, f"expected one line, got {len(lines)}"
    report = json.loads(lines[0])
    sections = ["version", "host", "captureApps", "running", "pipes", "jpeg", "logs", "checks"]
    assert list(report) == sections, f"members {list(report)}"
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
    assert status == want_status, f"exit status {status}, expected {want_status}"
    if error_has is not None:
        texts = [c["error"] for c in checks if not c["ok"] and c["name"] != "version"]
        assert any(error_has in t for t in texts), f"no error text with {error_has!r}: {texts}"

    apps = {a["path"]: a for a in report["captureApps"]}
    assert set(apps) >= {"capture/futronic/velmar-capture-a.exe", "capture/dpfpdd/velmar-capture-b.exe"}, apps.keys()
    if kind is not None:
        libs = {l["name"]: l for l in apps["capture/futronic/velmar-capture-a.exe"]["libraries"]}
        assert libs[kind[0]]["kind"] == kind[1], libs[kind[0]]
    assert report["pipes"]["bytes"] == 65536 and report["pipes"]["ok"], report["pipes"]
    assert report["jpeg"] == {"gdiplus": True, "encoder": True}, report["jpeg"]
    assert [m["mutex"] for m in report["running"]] == ["Futronic", "VELMAR-CAPTURE-B-1.0"]
    assert report["logs"][0]["program"] == "velmar-device"
    print(f"ok: {len(checks)} checks, failed {sorted(failed)}")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as e:
        print(f"FAIL: {e}", file=sys.stderr)
        sys.exit(1)
