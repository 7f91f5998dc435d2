#!/usr/bin/env bash
# wsq_vs_openjpeg.sh: whole-process CPU time (user + system) of our wsq converter against OpenJPEG's
# opj_compress / opj_decompress on the same images, in one run: the NIST sources in
# shared/testdata/wsq-nist/raw and a 512 x 512 synthetic finger. JPEG 2000 is 9/7 irreversible (-I) at
# the compression ratio (-r) that gives the size of our WSQ file, so both write about the same bytes.
# Prints, per image, the median of REPEAT runs of each command and their ratio (ours / OpenJPEG's), each
# run pinned to one core (CPU=1: taskset -c 1). Then the batch mode's throughput on the same images:
# wall-clock images per second of one wsq call per file against one `wsq --batch` call (on one thread and
# on every core). Last, the commands used.
#   bench/wsq_vs_openjpeg.sh [BUILD_DIR] [BIT_RATE]     default build/bench and 0.75; REPEAT=7 and CPU=1
#                                                       in the environment set the runs per command and
#                                                       the core
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench}
rate=${2:-0.75}
repeat=${REPEAT:-7}
cpu=${CPU:-1}
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

# Median CPU time in seconds (user + system of the child process, from its resource usage) of REPEAT
# runs of the command on core CPU.
cpu_seconds() {
  python3 - "$repeat" taskset -c "$cpu" "$@" <<'PY'
import os, resource, statistics, subprocess, sys
times = []
for _ in range(int(sys.argv[1])):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    times.append((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime))
print("%.4f" % statistics.median(times))
PY
}

# Median wall-clock seconds and median CPU seconds (user + system of everything it started) of REPEAT
# runs of a shell command line.
wall_and_cpu_seconds() {
  python3 - "$repeat" "$1" <<'PY'
import resource, statistics, subprocess, sys, time
walls, cpus = [], []
for _ in range(int(sys.argv[1])):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    subprocess.run(sys.argv[2], shell=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    walls.append(time.monotonic() - start)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpus.append((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime))
print("%.4f %.4f" % (statistics.median(walls), statistics.median(cpus)))
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

echo "CPU seconds (user + system) on core $cpu, median of $repeat; WSQ at $rate bit per pixel, JPEG 2000 at the same size"
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

# Batch throughput: every image above as a PGM in one folder, COPIES times over (COPIES=5 in the
# environment).
copies=${COPIES:-5}
mkdir -p "$work/batch"
count=0
calls=""
for entry in "${images[@]}"; do
  read -r name w h raw <<<"$entry"
  for c in $(seq 1 "$copies"); do
    cp "$work/$name.pgm" "$work/batch/$name.$c.pgm"
    calls+="$wsq $raw $w $h $work/$name.$c.single.wsq $rate; "
    count=$((count + 1))
  done
done
cores=$(nproc)
read -r single_wall single_cpu < <(wall_and_cpu_seconds "$calls")
read -r batch1_wall batch1_cpu < <(wall_and_cpu_seconds "$wsq --batch --jobs 1 --rate $rate $work/batch")
read -r batchn_wall batchn_cpu < <(wall_and_cpu_seconds "$wsq --batch --rate $rate $work/batch")
echo
echo "Batch throughput, $count images ($copies copies of each above), median of $repeat, $cores cores"
printf '  %-28s %8s %10s %8s %10s\n' "" "wall s" "images/s" "CPU s" "CPU s/image"
awk -v n="$count" -v c="$cores" -v sw="$single_wall" -v sc="$single_cpu" -v aw="$batch1_wall" -v ac="$batch1_cpu" \
    -v bw="$batchn_wall" -v bc="$batchn_cpu" 'BEGIN {
  printf "  %-28s %8.3f %10.1f %8.3f %10.4f\n", "one wsq call per file", sw, n / sw, sc, sc / n
  printf "  %-28s %8.3f %10.1f %8.3f %10.4f\n", "wsq --batch --jobs 1", aw, n / aw, ac, ac / n
  printf "  %-28s %8.3f %10.1f %8.3f %10.4f\n", "wsq --batch (" c " threads)", bw, n / bw, bc, bc / n }'

cat <<TEXT
Commands (per image NAME of W x H; RATIO = W*H / size of NAME.wsq; each under taskset -c $cpu):
  $wsq NAME.raw W H NAME.wsq $rate
  opj_compress -i NAME.pgm -o NAME.j2k -I -r RATIO
  $wsq --decode NAME.wsq NAME.out.raw
  opj_decompress -i NAME.j2k -o NAME.out.pgm
Batch (the same images as PGM files in FOLDER):
  $wsq NAME.raw W H NAME.wsq $rate     once per image, one after the other
  $wsq --batch --jobs 1 --rate $rate FOLDER
  $wsq --batch --rate $rate FOLDER
TEXT
