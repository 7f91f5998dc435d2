#!/usr/bin/env bash
# velmar-device --diagnose on a tree staged in the dist layout from this build's own outputs: as built
# (also run from x86/, where the host for 32-bit callers lives), then once per field fault: a stand-in
# library removed, a library of the other bitness beside capture-a, a library that lacks an ordinal
# capture-a imports, capture-a's mutex held by another process, wsq.exe missing. Each run's line is read by Python's json module (check_report.py), which
# also checks the failed check, its texts and the exit status. Needs the environment of
# cmake/wine-session.
#
# usage: diagnose_cases.sh WORK DEVICE CAPTURE_A CAPTURE_B WSQ FONDO LOGO SCAN MATH ANSI DPFPDD FIXTURES HOLD_MUTEX
set -euo pipefail
work=$1 device=$2 capture_a=$3 capture_b=$4 wsq=$5 fondo=$6 logo=$7 scan=$8 math=$9
ansi=${10} dpfpdd=${11} fixtures=${12} hold_mutex=${13}
check=$(dirname "$0")/check_report.py
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
  cp "$device" "$wsq" "$fondo" "$d/"
  cp "$capture_a" "$scan" "$math" "$ansi" "$logo" "$d/capture/futronic/"
  cp "$capture_b" "$dpfpdd" "$d/capture/dpfpdd/"
}

# diagnose NAME [HOST]: runs the staged host (default the one at the top of the tree) in its own working
# folder; keeps report.json and status.
diagnose() {
  local run=$work/$1 host=${2:-$work/tree/velmar-device.exe} status=0
  mkdir -p "$run"
  (cd "$run" && timeout 120 wine "$host" --diagnose >report.json 2>stderr.txt) || status=$?
  [ "$status" = 124 ] && fail "$1: velmar-device --diagnose did not end within 120 s"
  echo "$status" >"$run/status"
}

# expect NAME CHECK... [--error-has TEXT]: the run NAME failed exactly these checks.
expect() {
  local name=$1
  shift
  python3 "$check" "$work/$name/report.json" "$(cat "$work/$name/status")" "$@" || fail "$name"
  echo "ok: $name"
}

rm -rf "$work"
mkdir -p "$work"
tree=$work/tree
stage "$tree"

diagnose as-built
expect as-built
# The host for 32-bit callers sits in x86/ and diagnoses the same tree.
mkdir -p "$tree/x86"
cp "$device" "$tree/x86/"
diagnose from-x86 "$tree/x86/velmar-device.exe"
expect from-x86
rm -r "$tree/x86"
bits=$(python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))
print(next(x["bitness"] for x in r["captureApps"] if x["path"] == sys.argv[2]))' "$work/as-built/report.json" "$a")
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
