#!/bin/bash
# The synthetic-finger tool writes frames that ImageMagick reads with the size asked for, in each
# format, and rejects bad options with status 2.
set -euo pipefail
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

"$tool" --width 300 --height 410 --seed 3 -o "$dir/f.pgm"
"$tool" --width 300 --height 410 --seed 3 -o "$dir/f.bmp"
"$tool" --width 300 --height 410 --seed 3 --format raw -o "$dir/f.dat"
[ "$(identify -format '%m %w %h' "$dir/f.pgm")" = "PGM 300 410" ]
[ "$(identify -format '%m %w %h' "$dir/f.bmp")" = "BMP3 300 410" ] ||
  [ "$(identify -format '%m %w %h' "$dir/f.bmp")" = "BMP 300 410" ]
[ "$(stat -c %s "$dir/f.dat")" = $((300 * 410)) ]
# All three carry the same pixels.
[ "$(compare -metric AE "$dir/f.pgm" "$dir/f.bmp" null: 2>&1)" = "0" ]
[ "$(compare -metric AE -size 300x410 -depth 8 "gray:$dir/f.dat" "$dir/f.pgm" null: 2>&1)" = "0" ]

for bad in "--fingers 3 -o $dir/x.pgm" "--width 0 -o $dir/x.pgm" "--edge middle -o $dir/x.pgm" \
           "--seed 1" "--bogus 1 -o $dir/x.pgm" "--width"; do
  set +e
  # shellcheck disable=SC2086
  "$tool" $bad 2>/dev/null
  status=$?
  set -e
  [ $status -eq 2 ] || { echo "expected status 2 for: $bad (got $status)"; exit 1; }
done
echo ok
