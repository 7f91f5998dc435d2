#!/usr/bin/env bash
# A good capture whose WSQ conversion fails is not a success: with no converter at "../../wsq.exe", and
# with a converter that writes a truncated file and exits with 3, the outcome is 210 ("WSQ
# CONVERSION"), one byte 0xD2 on the WSQ pipe, the image pipe untouched, and the temporary files gone.
source "$(dirname "$0")/capture_b_lib.sh"

ini=$stage_root/scenario.ini
scenario "$ini" "delay_ms = 300"

for kind in no-converter failing-converter; do
  dir=$stage_root/$kind
  stage "$dir" "$kind"
  run_capture "$kind" "$dir" "$ini"
  expect_failure 210
  expect_log "$dir" "	ERR	WSQ CONVERSION"
  ls "$dir"/capture/dpfpdd/final-* >/dev/null 2>&1 && fail "$kind: temporary files left behind"
  echo "ok: $kind -> 210"
done
expect_log "$stage_root/no-converter" "Creacion WSQ"
expect_log "$stage_root/failing-converter" "El conversor WSQ terminó con código 3"
