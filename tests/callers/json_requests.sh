#!/usr/bin/env bash
# Request lines as real JSON writers produce them (python3's json.dumps with its defaults and with
# ensure_ascii off, members reordered, quotes, backslashes, \u escapes, characters above U+00FF), each
# given to velmar-device.exe on standard input and to captureJson through the C example. Checked: the
# capture application receives the message, timeout and debug level decoded (it records its argument
# vector); both answer with the same line, which python3's json reads. Also a capture application in a
# folder whose name holds an ñ and a blank, started both ways.
# Arguments: DEVICE_EXE FAKE_CAPTURE EXAMPLE DLL [EXAMPLE DLL ...] (more pairs: other bitnesses).
set -euo pipefail
DEVICE=$1
FAKE=$2
shift 2
here=$(dirname "$0")
if [ -n "${VELMAR_NEEDS_WIN32:-}" ] && ! why=$("$here/../../cmake/can-run-win32" 2>&1); then
  echo "SKIPPED: $why"
  exit 77
fi
source "$here/../lib/wine-gui.sh"
source "$here/../harness/harness_lib.sh"
top=$(artefact_dir)
rm -rf "${top:?}"/*
cd "$top"

# The fake capture application, also in a folder named with an ñ and a blank.
special="$top/Programas Peña"
mkdir -p "$special"
cp "$FAKE" "$special/fake capture.exe"

# Windows paths with backslashes, as a Windows caller writes them.
winpath() { windows_path "$1" | tr / '\\'; }
FAKE_WIN=$(winpath "$FAKE") SPECIAL_WIN=$(winpath "$special/fake capture.exe") python3 - <<'PY'
import json, os
fake, special = os.environ["FAKE_WIN"], os.environ["SPECIAL_WIN"]
# name -> (request line, message the child must receive, -t value, -v value)
cases = {
    "dumps-defaults": (json.dumps({"command": fake, "message": "Coloque el dedo índice"}),
                       "Coloque el dedo índice", "45000", "4"),
    "dumps-utf8": (json.dumps({"command": fake, "message": "Peña ñandú € 一 😀"}, ensure_ascii=False),
                   "Peña ñandú € 一 😀", "45000", "4"),
    "dumps-escaped-above-ff": (json.dumps({"command": fake, "message": "€ 一 😀"}), "€ 一 😀", "45000", "4"),
    "reordered": (json.dumps({"message": "dedo", "debugLevel": 2, "timeout": 30000, "command": fake}),
                  "dedo", "30000", "2"),
    "quote-and-backslash": (json.dumps({"command": fake, "message": 'Diga "sí" a\\b fin\\'}),
                            'Diga "sí" a\\b fin\\', "45000", "4"),
    "compact-unknown-members": (json.dumps({"id": 7, "command": fake, "message": "x", "name": None},
                                           separators=(",", ":")), "x", "45000", "4"),
    "folder-with-enye": (json.dumps({"command": special, "message": "ñ"}), "ñ", "45000", "4"),
}
with open("cases.json", "w") as f:
    json.dump(cases, f)
for name, (line, *_ ) in cases.items():
    open(name + ".request", "w", encoding="utf-8").write(line + "\n")
PY

# run_example DIR REQUEST EXAMPLE DLL: the C example with the request on standard input.
run_example() {
  local dir=$1 request=$2 example=$3 dll=$4 status
  mkdir -p "$dir"
  set +e
  (cd "$dir" && cat "$request" | env VELMAR_FAKE_CAPTURE="wsq=byte:203 exit=203" \
    VELMAR_FAKE_ARGV_FILE="$(windows_path "$dir/argv.txt")" timeout 120 wine "$example" "$(winpath "$dll")" \
    >stdout 2>stderr)
  status=$?
  set -e
  printf '%s\n' "$status" >"$dir/status"
}

args=("$@")
runs=()
for request in *.request; do
  name=${request%.request}
  run_device "$top/$name/console" "$top/$request" VELMAR_FAKE_CAPTURE="wsq=byte:203 exit=203" \
    VELMAR_FAKE_ARGV_FILE="$(windows_path "$top/$name/console/argv.txt")"
  runs+=("$name/console")
  i=0
  while [ $i -lt ${#args[@]} ]; do
    example=${args[$i]} dll=${args[$((i + 1))]}
    run_example "$top/$name/example$i" "$top/$request" "$example" "$dll"
    runs+=("$name/example$i")
    i=$((i + 2))
  done
done

python3 - "${runs[@]}" <<'PY'
import json, sys
cases = json.load(open("cases.json"))
failed = False
lines = {}
for run in sys.argv[1:]:
    name, way = run.split("/")
    _, message, timeout, level = cases[name]
    problems = []
    status = open(run + "/status").read().strip()
    want_status = "0" if way == "console" else "203"
    if status != want_status:
        problems.append(f"status {status}, not {want_status}")
    out = open(run + "/stdout", "rb").read().split(b"\n", 1)[0].rstrip(b"\r")
    try:
        answer = json.loads(out.decode("utf-8"))
        if answer.get("exitcode") != "203" or not answer.get("error"):
            problems.append(f"answer {answer}")
    except ValueError:
        problems.append(f"not a JSON line: {out[:120]!r}")
    lines.setdefault(name, {})[way] = out
    try:
        argv = open(run + "/argv.txt", "rb").read().decode("utf-8").split("\n")[:-1]
        got = {argv[i]: argv[i + 1] for i in range(1, len(argv) - 1) if argv[i] in ("-lci", "-t", "-v")}
        if got != {"-lci": message, "-t": timeout, "-v": level}:
            problems.append(f"child got {got}, wanted message {message!r}, -t {timeout}, -v {level}")
        if name == "folder-with-enye" and not argv[0].endswith("Programas Peña\\fake capture.exe"):
            problems.append(f"child started as {argv[0]!r}")
    except (OSError, UnicodeDecodeError) as e:
        problems.append(f"no argument vector: {e}")
    print(f"{run}: {'FAILED: ' + '; '.join(problems) if problems else 'ok'}")
    failed |= bool(problems)
for name, ways in lines.items():
    if len(set(ways.values())) != 1:
        print(f"{name}: FAILED: the lines differ: {ways}")
        failed = True
sys.exit(1 if failed else 0)
PY
