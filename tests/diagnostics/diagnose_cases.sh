#!/usr/bin/env bash
# velmar-device --diagnose on a tree staged in the dist layout from this build's own outputs: as built
# (also run from x86/, where the host for 32-bit callers lives, and through diagnoseJson of the DLL as a
# C caller calls it), then once per field fault: a stand-in library removed, a library of the other
# bitness beside capture-a, a library that lacks an ordinal capture-a imports, capture-a's mutex held by
# another process, wsq.exe missing, and a 32-bit capture-a with and without a 32-bit system (the real
# programs of the win32 build too, where it is built and this machine runs them). Each run's output (the person's lines, then the JSON line) is read by
# check_report.py with Python's json module, which also checks the failed checks, their texts, the log
# folders under the run's own LOCALAPPDATA and the exit status. Needs the environment of
# cmake/wine-session.
#
# usage: diagnose_cases.sh WORK DEVICE DLL CALLER CAPTURE_A CAPTURE_B WSQ FONDO LOGO SCAN MATH ANSI DPFPDD
#                          FIXTURES HOLD_MUTEX WIN32_BUILD
set -euo pipefail
work=$1 device=$2 dll=$3 caller=$4 capture_a=$5 capture_b=$6 wsq=$7 fondo=$8 logo=$9 scan=${10} math=${11}
ansi=${12} dpfpdd=${13} fixtures=${14} hold_mutex=${15} win32_build=${16}
here=$(cd "$(dirname "$0")" && pwd)
check=$here/check_report.py
a=capture/futronic/velmar-capture-a.exe
b=capture/dpfpdd/velmar-capture-b.exe

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# stage DIR: the dist layout the host diagnoses.
stage() {
  local d=$1
  rm -rf "$d"
  mkdir -p "$d/capture/futronic" "$d/capture/dpfpdd"
  cp "$device" "$dll" "$wsq" "$fondo" "$d/"
  cp "$capture_a" "$scan" "$math" "$ansi" "$logo" "$d/capture/futronic/"
  cp "$capture_b" "$dpfpdd" "$d/capture/dpfpdd/"
}

# The Windows form of a Linux path (Wine maps / to Z:).
winpath() {
  local p=${1//\//\\}
  echo "Z:$p"
}

# with_appdata FOLDER PROGRAM ARGS...: runs the Windows program (for at most 120 s) with LOCALAPPDATA set
# to FOLDER. Wine sets LOCALAPPDATA from the user's profile in a process started from Linux, but a child
# inherits its parent's environment, so cmd sets it for the program. (No blanks in the paths: cmd would
# split them.)
with_appdata() {
  local appdata=$1 program=$2
  shift 2
  timeout 120 "${WINE:-wine}" cmd /c "set LOCALAPPDATA=$(winpath "$appdata")&& $(winpath "$program") $*"
}

# diagnose NAME [HOST]: runs the staged host (default the one at the top of the tree) in its own working
# folder, with its own local application-data folder (appdata/, where a test may lay logs first); keeps
# report.txt and status.
diagnose() {
  local run=$work/$1 host=${2:-$work/tree/velmar-device.exe} status=0
  mkdir -p "$run/appdata"
  (cd "$run" && with_appdata "$run/appdata" "$host" --diagnose >report.txt 2>stderr.txt) || status=$?
  [ "$status" = 124 ] && fail "$1: velmar-device --diagnose did not end within 120 s"
  echo "$status" >"$run/status"
}

# expect NAME CHECK... [check_report.py options]: the run NAME failed exactly these checks.
expect() {
  local name=$1
  shift
  python3 "$check" "$work/$name/report.txt" "$(cat "$work/$name/status")" --appdata "$(winpath "$work/$name/appdata")" \
    "$@" || fail "$name"
  echo "ok: $name"
}

rm -rf "$work"
mkdir -p "$work"
tree=$work/tree
stage "$tree"

# Logs laid where the programs now write them, under this run's own LOCALAPPDATA: the newest of each
# program is reported (capture-b has none yet).
logs=$work/as-built/appdata/velmar
mkdir -p "$logs/velmar-device" "$logs/velmar-capture-a"
touch -d '2026-01-01 10:00' "$logs/velmar-device/velmar-device_Main_202601011000_7_0.log"
touch -d '2026-01-02 10:00' "$logs/velmar-device/velmar-device_Main_202601021000_8_0.log"
touch -d '2026-01-03 10:00' "$logs/velmar-device/notes.txt"
touch "$logs/velmar-capture-a/Futronic20260102.log"
diagnose as-built
expect as-built --newest velmar-device velmar-device_Main_202601021000_8_0.log \
  --newest velmar-capture-a Futronic20260102.log

# diagnoseJson through the DLL, as a C program calls it: the report line alone, the same report as the
# console's last line (but for the pipe round trip's time).
(cd "$work/as-built" && with_appdata "$work/as-built/appdata" "$caller" "$(winpath "$tree/velmar-device.dll")" \
  >caller.txt 2>caller.err) || caller_status=$?
python3 - "$work/as-built/report.txt" "$work/as-built/caller.txt" "${caller_status:-0}" "$(cat "$work/as-built/status")" <<'PY' ||
import json, sys
console, caller, caller_status, status = sys.argv[1:]
raw = open(caller, "rb").read()
assert raw and b"\n" not in raw and b"\r" not in raw, f"diagnoseJson gave more than one JSON line: {raw[:200]!r}"
a = json.loads(open(console, "rb").read().decode("utf-8").splitlines()[-1])
b = json.loads(raw.decode("utf-8"))
for r in (a, b):
    del r["pipes"]["ms"]
assert a == b, "diagnoseJson and --diagnose differ"
assert caller_status == status, f"diagnoseJson returned {caller_status}, --diagnose {status}"
PY
  fail "diagnoseJson"
echo "ok: diagnoseJson"
# The host for 32-bit callers sits in x86/ and diagnoses the same tree: this build's host there, then
# the real 32-bit one, which reads the 64-bit system folder through Sysnative.
can32=yes
why32=$("$here/../../cmake/can-run-win32" 2>&1) || can32=
mkdir -p "$tree/x86"
cp "$device" "$tree/x86/"
diagnose from-x86 "$tree/x86/velmar-device.exe"
expect from-x86
host32=$win32_build/host/velmar-device.exe
if [ -n "$can32" ] && [ -f "$host32" ]; then
  cp "$host32" "$tree/x86/"
  diagnose from-x86-32-bit "$tree/x86/velmar-device.exe"
  expect from-x86-32-bit
else
  echo "skipped: the 32-bit host (${why32:-$host32 is not built: cmake --build --preset win32})"
fi
rm -r "$tree/x86"
bits=$(python3 -c 'import json,sys; r=json.loads(open(sys.argv[1], "rb").read().decode("utf-8").splitlines()[-1])
print(next(x["bitness"] for x in r["captureApps"] if x["path"] == sys.argv[2]))' "$work/as-built/report.txt" "$a")
case $bits in
  32) same=i686 other=x86_64 ;;
  64) same=x86_64 other=i686 ;;
  *) fail "capture-a bitness $bits" ;;
esac

rm "$tree/capture/futronic/ftrMathAPI.dll"
diagnose stand-in-removed
expect stand-in-removed "$a ftrMathAPI.dll" --error-has "No se encontró la librería ftrMathAPI.dll"
cp "$math" "$tree/capture/futronic/"

cp "$fixtures/$other/full/ftrScanAPI.dll" "$tree/capture/futronic/ftrScanAPI.dll"
diagnose other-bitness
expect other-bitness "$a ftrScanAPI.dll bitness" --error-has "y velmar-capture-a.exe es de $bits bits" \
  --kind ftrScanAPI.dll stand-in

cp "$fixtures/$same/without_17/ftrScanAPI.dll" "$tree/capture/futronic/ftrScanAPI.dll"
diagnose ordinal-missing
expect ordinal-missing "$a ftrScanAPI.dll functions" --error-has "no exporta la función ordinal 17" \
  --kind ftrScanAPI.dll vendor
cp "$scan" "$tree/capture/futronic/"

# The mutex is held by another process for at most 60 s; it is stopped once the run is done.
wine "$hold_mutex" Futronic 60 >"$work/hold.out" 2>&1 &
holder=$!
for _ in $(seq 100); do grep -q held "$work/hold.out" 2>/dev/null && break; sleep 0.1; done
grep -q held "$work/hold.out" || { kill "$holder" 2>/dev/null; fail "hold_mutex did not take the mutex"; }
diagnose capture-running
kill "$holder" 2>/dev/null || true
wait "$holder" 2>/dev/null || true
expect capture-running "running Futronic" --error-has "velmar-capture-a.exe ya se está ejecutando"

rm "$tree/wsq.exe"
diagnose wsq-missing
expect wsq-missing "$b ../../wsq.exe" --error-has "No se encontró el archivo ../../wsq.exe"
cp "$wsq" "$tree/"

# A 32-bit capture-a, first a small program shaped like it (always built), then the real one from the
# win32 build when there is one: in this build's prefix (which has a 32-bit system where this machine's
# Wine runs 32-bit programs) and in a prefix of its own without a 32-bit system, as on a 64-bit Windows
# without its 32-bit part (64-bit programs run without it). Without a 32-bit system the one finding is
# that this PC cannot run 32-bit programs; its Windows libraries are neither reported missing nor to be
# copied. With one, everything passes.
cannot=("$a" --error-has "Este PC no puede ejecutar programas de 32 bits" --system-support false)
if [ -n "$can32" ]; then
  here32=(--system-support true)
else
  here32=("${cannot[@]}")
  echo "this machine runs no 32-bit programs ($why32): its prefix has no 32-bit system either"
fi

# That prefix is made and used by Wine's 64-bit loader alone, as on a machine without 32-bit Wine.
wine64=
for w in /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 "$(command -v wine64 || true)"; do
  [ -n "$w" ] && [ -x "$w" ] && { wine64=$w; break; }
done
[ -n "$wine64" ] || fail "no 64-bit Wine loader (wine64) found"
no32_prefix=$work/prefix-without-32-bit
# run_no32 COMMAND...: COMMAND in the prefix without a 32-bit system, with the 64-bit loader.
run_no32() { WINEPREFIX=$no32_prefix WINELOADER=$wine64 WINE=$wine64 "$@"; }
stop_no32_prefix() {
  run_no32 wineserver -k >/dev/null 2>&1 || true
  rm -rf "$no32_prefix"
}
trap stop_no32_prefix EXIT
mkdir -p "$no32_prefix"
run_no32 wineserver -p
run_no32 "$wine64" wineboot -i </dev/null >/dev/null 2>&1 || fail "wineboot made no prefix in $no32_prefix"
rm -rf "$no32_prefix/drive_c/windows/syswow64"

# diagnose_both NAME CHECK_REPORT_OPTIONS...: NAME here and NAME-no32 in the prefix without 32-bit system.
diagnose_both() {
  local name=$1
  shift
  diagnose "$name"
  expect "$name" "${here32[@]}" "$@"
  run_no32 diagnose "$name-no32"
  expect "$name-no32" "${cannot[@]}" "$@"
}

rm -f "$tree/capture/futronic/"*
cp "$fixtures/i686/capture/velmar-capture-a.exe" "$fixtures/i686/full/ftrScanAPI.dll" "$logo" "$tree/capture/futronic/"
diagnose_both 32-bit-shaped --kind USER32.dll system --kind ftrScanAPI.dll stand-in

real32=$win32_build/capture_futronic/velmar-capture-a.exe
if [ -f "$real32" ]; then
  rm -f "$tree/capture/futronic/"*
  cp "$real32" "$win32_build"/devices/futronic/ftr*.dll "$logo" "$tree/capture/futronic/"
  diagnose_both 32-bit-real --kind ftrScanAPI.dll stand-in
else
  echo "skipped: the real 32-bit capture-a ($real32 is not built: cmake --build --preset win32)"
fi
