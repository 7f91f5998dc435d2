#!/usr/bin/env bash
# wsq_vs_openjpeg.sh: whole-process CPU time (user + system) of our wsq converter against OpenJPEG's
# opj_compress / opj_decompress on the same images, in one run: the NIST sources in
# shared/testdata/wsq-nist/raw and a 512 x 512 synthetic finger. JPEG 2000 is 9/7 irreversible (-I) at
# the compression ratio (-r) that gives the size of our WSQ file, so both write about the same bytes.
# Prints, per image, the best of REPEAT runs of each command and their ratio (ours / OpenJPEG's), then the
# commands used.
#   bench/wsq_vs_openjpeg.sh [BUILD_DIR] [BIT_RATE]     default build/bench and 0.75; REPEAT=5 in the
#                                                       environment sets the runs per command
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench}
rate=${2:-0.75}
repeat=${REPEAT:-5}
data=$here/../shared/testdata/wsq-nist
wsq=$build/tools/wsq/wsq
synth=$build/devices/synthetic/synthetic-finger
for tool in "$wsq" "$synth"; do
  [ -x "$tool" ] || { echo "missing $tool: cmake --build $build --target wsq synthetic-finger" >&2; exit 2; }
done
for tool in opj_compress opj_decompress; do
  command -v $tool >/dev/null || { echo "missing $tool (Debian package libopenjp2-tools)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Best CPU time in seconds (user + system of the child process, from its resource usage) of REPEAT runs
# of the command.
cpu_seconds() {
  python3 - "$repeat" "$@" <<'PY'
import os, resource, subprocess, sys
best = None
for _ in range(int(sys.argv[1])):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    best = t if best is None else min(best, t)
print("%.4f" % best)
PY
}

# name width height raw-file
images=()
if [ -f "$data/raw-image-dimensions.json" ]; then
  while read -r name w h; do
    [ -f "$data/raw/$name.raw" ] && images+=("$name $w $h $data/raw/$name.raw")
  done < <(python3 -c '
import json, sys
for e in json.load(open(sys.argv[1])):
    print(e["fileName"].split(".")[0], e["width"], e["height"])' "$data/raw-image-dimensions.json")
fi
"$synth" --width 512 --height 512 --format raw -o "$work/synthetic.raw" >/dev/null 2>&1
images+=("synthetic 512 512 $work/synthetic.raw")

echo "CPU seconds (user + system), best of $repeat; WSQ at $rate bit per pixel, JPEG 2000 at the same size"
printf '%-10s %11s %8s | %8s %8s %6s | %8s %8s %6s\n' image size bytes "wsq enc" "opj enc" ratio \
  "wsq dec" "opj dec" ratio
for entry in "${images[@]}"; do
  read -r name w h raw <<<"$entry"
  { printf 'P5\n%d %d\n255\n' "$w" "$h"; cat "$raw"; } >"$work/$name.pgm"
  "$wsq" "$raw" "$w" "$h" "$work/$name.wsq" "$rate" >/dev/null 2>&1
  bytes=$(stat -c %s "$work/$name.wsq")
  ratio=$(awk -v p=$((w * h)) -v b="$bytes" 'BEGIN { printf "%.3f", p / b }')
  opj_compress -i "$work/$name.pgm" -o "$work/$name.j2k" -I -r "$ratio" >/dev/null 2>&1
  we=$(cpu_seconds "$wsq" "$raw" "$w" "$h" "$work/$name.wsq" "$rate")
  oe=$(cpu_seconds opj_compress -i "$work/$name.pgm" -o "$work/$name.j2k" -I -r "$ratio")
  wd=$(cpu_seconds "$wsq" --decode "$work/$name.wsq" "$work/$name.out.raw")
  od=$(cpu_seconds opj_decompress -i "$work/$name.j2k" -o "$work/$name.out.pgm")
  awk -v n="$name" -v s="${w}x$h" -v b="$bytes" -v we="$we" -v oe="$oe" -v wd="$wd" -v od="$od" 'BEGIN {
    printf "%-10s %11s %8d | %8.3f %8.3f %6.2f | %8.3f %8.3f %6.2f\n", n, s, b, we, oe,
           (oe > 0 ? we / oe : 0), wd, od, (od > 0 ? wd / od : 0) }'
done
cat <<TEXT
Commands (per image NAME of W x H; RATIO = W*H / size of NAME.wsq):
  $wsq NAME.raw W H NAME.wsq $rate
  opj_compress -i NAME.pgm -o NAME.j2k -I -r RATIO
  $wsq --decode NAME.wsq NAME.out.raw
  opj_decompress -i NAME.j2k -o NAME.out.pgm
TEXT
