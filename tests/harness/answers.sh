#!/usr/bin/env bash
# velmar-device driven like a caller, with the scripted fake capture application as the capture
# application: one request line on standard input, the JSON line read from standard output and checked
# with python3's json and base64 and with ImageMagick; what the child received (its argument vector);
# the exit status; the host log file in the working directory.
set -euo pipefail
DEVICE=$1
FAKE=$2
WSQ_EXE=$3
here=$(dirname "$0")
source "$here/../lib/wine-gui.sh"
source "$here/harness_lib.sh"
top=$(artefact_dir)
rm -rf "${top:?}"/*
cd "$top"

# Fixtures: a 512 x 512 8-bit grey BMP laid out as the capture applications write it, and the WSQ
# file of the same picture made by our converter (the host takes only a whole WSQ as a capture).
python3 - <<'PY'
import struct
w = h = 512
rows = bytes(((x * 3 + y * 5) // 4) & 0xFF for y in range(h) for x in range(w))
open("finger.raw", "wb").write(rows)
info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(rows), 19685, 19685, 256, 0)
palette = b"".join(struct.pack("<BBBB", i, i, i, 0) for i in range(256))
offset = 14 + 40 + len(palette)
head = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
open("finger.bmp", "wb").write(head + info + palette + rows)
PY
wine "$WSQ_EXE" "$(windows_path "$top/finger.raw")" 512 512 "$(windows_path "$top/wsq.bin")" 0.75 </dev/null >/dev/null 2>&1
[ -s wsq.bin ] || { echo "FAIL: no WSQ fixture"; exit 1; }

fake=$(windows_path "$FAKE")
# The same path with raw single backslashes: "\w" is no JSON escape, so such a line is read by position.
raw_fake=$(windows_path "$FAKE" | tr / '\\')
# case name | capture application | message (UTF-8) | fake capture script
cases=(
  "success|$fake|Coloque el dedo índice: ñ á|wsq=file:$(windows_path "$top/wsq.bin") bmp=file:$(windows_path "$top/finger.bmp")"
  "timeout|$fake|Coloque el dedo|wsq=byte:203 bmp=byte:203 exit=203"
  "wide-characters|$fake|dedo 一 Ģ € 😀|wsq=byte:203 exit=203"
  "wide-characters-positional|$raw_fake|dedo 一 Ģ € 😀|wsq=byte:203 exit=203"
  "unknown-code|$fake|Coloque el dedo|wsq=byte:255 exit=255"
  "nothing-sent|$fake|Coloque el dedo|wsq=none bmp=none"
  "no-application|Z:/nonexistent/velmar-capture.exe|Coloque el dedo|"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name command message script <<<"$entry"
  printf '{"command":"%s","message":"%s"}\n' "$command" "$message" >"$name.request"
  date +%Y%m%d%H%M >"$name.before"
  run_device "$top/$name" "$top/$name.request" VELMAR_FAKE_CAPTURE="$script" \
    VELMAR_FAKE_ARGV_FILE="$(windows_path "$top/$name/argv.txt")"
  date +%Y%m%d%H%M >"$name.after"
  printf '%s: status %s, first line: %.100s\n' "$name" "$(cat "$name/status")" "$(head -n1 "$name/stdout")"
done

python3 - <<'PY'
import base64, glob, json, os, re, subprocess

def texts(code):
    return {
        203: ("Tiempo de espera agotado para la captura de la impresión dactilar.",
              "Asegúrese de colocar el dedo adecuadamente en el área de captura del dispositivo biométrico "
              "en el tiempo requerido por el software.Limpie el área de captura del dispositivo biométrico "
              "y reintente.Use el botón de captura manual si lo requiere."),
        109: ("El driver del dispositivo biométrico seleccionado no existe o no está correctamente "
              "instalado en su PC.",
              "Instale correctamente el driver del dispositivo biométrico siguiendo su manual de instalación."),
        211: ("No se pudo iniciar el dispositivo biométrico.",
              "Reintente nuevamente, reinicie su PC, reinstale el software de captura biométrica según el "
              "manual de instalación."),
    }.get(code, ("", ""))

def answer(name):
    """The JSON object of the first line of standard output, after checking the run's status."""
    status = open(name + "/status").read().strip()
    assert status == "0", (name, "status", status)
    out = open(name + "/stdout", "rb").read()
    first = out.split(b"\n", 1)[0].rstrip(b"\r")
    obj = json.loads(first.decode("utf-8"))
    assert list(obj) == ["wsq", "jpg", "exitcode", "error", "solution"], (name, list(obj))
    assert all(isinstance(v, str) for v in obj.values()), name
    return obj

def child_argv(name):
    return open(name + "/argv.txt", "rb").read().decode("utf-8").split("\n")[:-1]

def option(argv, flag):
    return argv[argv.index(flag) + 1]

# Success: the WSQ bytes come back intact and the JPEG decodes at 512 x 512.
obj = answer("success")
assert obj["exitcode"] == "0" and obj["error"] == "" and obj["solution"] == "", obj["exitcode"]
assert "=" not in obj["wsq"] + obj["jpg"]
pad = lambda s: s + "=" * (-len(s) % 4)
assert base64.b64decode(pad(obj["wsq"]), validate=True) == open("wsq.bin", "rb").read(), "wsq bytes"
open("success.jpg", "wb").write(base64.b64decode(pad(obj["jpg"]), validate=True))
size = subprocess.run(["/usr/bin/identify", "-format", "%m %w %h", "success.jpg"], check=True,
                      capture_output=True, text=True).stdout
assert size == "JPEG 512 512", size
subprocess.run(["/usr/bin/convert", "-regard-warnings", "success.jpg", "ppm:/dev/null"], check=True)
print("success: exitcode 0, wsq %d bytes intact, %s" % (os.path.getsize("wsq.bin"), size))

# Failures: empty images, the code, and its texts (none for a code without an entry).
for name, code in [("timeout", 203), ("wide-characters", 203), ("wide-characters-positional", 203),
                   ("unknown-code", 255), ("nothing-sent", 109), ("no-application", 211)]:
    obj = answer(name)
    want = {"wsq": "", "jpg": "", "exitcode": str(code), "error": texts(code)[0], "solution": texts(code)[1]}
    assert obj == want, (name, obj)
    print("%s: exitcode %d with %s texts" % (name, code, "its" if want["error"] else "empty"))

# What the child received: the harness's timeout 15000 lies below the host's bounds, so 45000; debug
# level 4; the message of a JSON line exactly. A line read by position hands its message on as one
# Latin-1 byte per character, which the child reads in the ANSI code page (1252).
for name in ["success", "timeout", "wide-characters", "wide-characters-positional", "unknown-code", "nothing-sent"]:
    argv = child_argv(name)
    assert option(argv, "-t") == "45000", (name, argv)
    assert option(argv, "-v") == "4", (name, argv)
    assert option(argv, "-p").startswith("\\\\.\\pipe\\"), (name, argv)
    assert option(argv, "-bp").startswith("\\\\.\\pipe\\"), (name, argv)
    assert argv[-1] == "-h", (name, argv)
assert option(child_argv("success"), "-lci") == "Coloque el dedo índice: ñ á", child_argv("success")
assert option(child_argv("wide-characters"), "-lci") == "dedo 一 Ģ € 😀", child_argv("wide-characters")
# By position, above U+00FF only the low byte is kept (U+20AC gives 0xAC, read as "¬"); a character
# whose byte would be a NUL (U+4E00, the second half of U+1F600) or a quote (U+0122) is sent as "?", so
# the options after the message still reach the child (checked above).
assert option(child_argv("wide-characters-positional"), "-lci") == "dedo ? ? ¬ =?", \
    child_argv("wide-characters-positional")
print("child: -t 45000, -v 4, both pipes, message with í ñ á as sent")

# The host log: one file per run in the run's own log folder, named for the process, the logger, the minute
# the file was opened, the six-digit process id and roll index 0; every line with the log4z header.
name_re = re.compile(r"velmar-device_Main_(\d{12})_(\d{6})_000\.log")
line_re = re.compile(rb"(\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\.(\d{3}) \[(\d{4,})\] (LOG_[A-Z]+) (.*)")

def log_lines(name):
    files = os.listdir(name + "/velmar/velmar-device")
    assert len(files) == 1, (name, files)
    match = name_re.fullmatch(files[0])
    assert match, (name, files[0])
    before, after = (int(open(name + suffix).read()) for suffix in (".before", ".after"))
    assert before <= int(match.group(1)) <= after, (name, files[0], before, after)
    data = open(name + "/velmar/velmar-device/" + files[0], "rb").read()
    assert data.endswith(b"\r\n"), name
    lines = []
    for raw in data.split(b"\r\n")[:-1]:
        m = line_re.fullmatch(raw)
        assert m, (name, raw)
        if not lines:  # the file is named for the minute of its first line
            assert b"".join(m.group(1, 2, 3, 4, 5)) == match.group(1).encode(), (name, files[0], raw)
        lines.append((m.group(9).decode(), m.group(10)))
    return files[0], lines

def in_order(name, lines, wanted):
    """Each (level, text or text prefix ending in '*') of wanted appears, in this order."""
    at = 0
    for level, text in wanted:
        while at < len(lines) and not (lines[at][0] == level and (
                lines[at][1].startswith(text[:-1]) if text.endswith(b"*") else lines[at][1] == text)):
            at += 1
        assert at < len(lines), (name, "missing", level, text, lines)
        at += 1

file, lines = log_lines("success")
assert all(level != "LOG_TRACE" for level, _ in lines), "trace lines written at level DEBUG"
in_order("success", lines, [
    ("LOG_DEBUG", "MENSAJE : Coloque el dedo índice: ñ á".encode("utf-8")),
    ("LOG_DEBUG", b"capture(biodevice={*"),
    ("LOG_DEBUG", b"process started"),
    ("LOG_DEBUG", b"process closed"),
    ("LOG_DEBUG", b"response size=%d bytes" % os.path.getsize("wsq.bin")),
    ("LOG_DEBUG", b"image size=%d bytes" % os.path.getsize("finger.bmp")),
    ("LOG_DEBUG", b"capture(...) returns {bmp=%d bytes,wsq=%d bytes,exitCode=0}" % (os.path.getsize("finger.bmp"), os.path.getsize("wsq.bin"))),
])
print("log: %s, %d lines" % (file, len(lines)))
file, lines = log_lines("nothing-sent")
in_order("nothing-sent", lines, [
    ("LOG_DEBUG", b"MENSAJE : Coloque el dedo"),
    ("LOG_WARN", b"didn't receive anything, is child okay? closing connection"),
    ("LOG_DEBUG", b"response size=0 bytes"),
    ("LOG_DEBUG", b"capture(...) returns {bmp=0 bytes,wsq=0 bytes,exitCode=109}"),
])
file, lines = log_lines("no-application")
in_order("no-application", lines, [("LOG_ERROR", b"Error in child: CreateProcess failed with *")])
print("log: warning and error lines of the failed captures")
PY
