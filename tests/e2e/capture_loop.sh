#!/usr/bin/env bash
# COUNT consecutive captures through capture in one host process, with each capture application of a
# staged dist/ and a finger the virtual scanner shows at once. Every capture must succeed with a WSQ
# file and a BMP, and the process's handle and thread counts must not grow over the second half of the
# run; the figures after the first, the middle and the last capture are printed.
#
# usage: capture_loop.sh DIST LOOP_EXE COUNT
set -euo pipefail
dist=$1 loop_exe=$2 count=$3
source "$(dirname "$0")/e2e_lib.sh"
art=$(artefact_dir)

for app in a b; do
  dir="$art/loop-$app"
  if [ "$app" = a ]; then prepare_run "$dir" "timeline = finger"
  else prepare_run "$dir" "delay_ms = 100"; fi
  # A bound of 60 s per capture, in case a capture hangs.
  status=0
  (cd "$dir" && timeout $((60 * count + 60)) wine "$loop_exe" "$(app_path "$dist" "$app")" "$count" \
     --save "$(winpath "$dir")" </dev/null >"$dir/loop.txt" 2>"$dir/stderr.txt") || status=$?
  tr -d '\r' <"$dir/loop.txt" | sed "s/^/capture-$app: /" | grep -E "first|middle|last|failures|grew|: code [^0]|, [0-9]+ ms:" || true
  [ "$status" = 0 ] || fail "capture-$app: the loop ended with $status (see $dir/loop.txt)"
done
echo "capture loop: $count captures with each application passed"
