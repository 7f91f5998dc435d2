#!/usr/bin/env bash
# Once the converter has ended, its WSQ file decides and its exit code is only logged. With no
# converter at "../../wsq.exe", with one that writes three bytes and exits with 3, and with one that
# exits 0 after leaving half a WSQ file, the outcome is 210 ("WSQ CONVERSION"), one byte 0xD2 on the
# WSQ pipe, the image pipe untouched, and the temporary files gone from the user's temporary folder. One that writes a whole WSQ file
# and exits with 1 delivers the capture: exit 0 and that file on the WSQ pipe.
source "$(dirname "$0")/capture_b_lib.sh"

ini=$stage_root/scenario.ini
scenario "$ini" "delay_ms = 300"

for kind in no-converter three-bytes half-file; do
  dir=$stage_root/$kind
  case $kind in
    no-converter) stage "$dir" no-converter; unset VELMAR_CONVERTER ;;
    three-bytes) stage "$dir" scripted-converter; unset VELMAR_CONVERTER ;;
    half-file) stage "$dir" scripted-converter; export VELMAR_CONVERTER="half 0" ;;
  esac
  run_capture "$kind" "$dir" "$ini"
  expect_failure 210
  expect_log "$dir" "	ERR	WSQ CONVERSION"
  ls "$(temp_dir "$dir")"/final-* >/dev/null 2>&1 && fail "$kind: temporary files left behind"
  expect_install_untouched "$dir"
  echo "ok: $kind -> 210"
done
expect_log "$stage_root/no-converter" "Creacion WSQ"
expect_log "$stage_root/three-bytes" "El conversor WSQ terminó con código 3"
expect_log "$stage_root/three-bytes" "El archivo WSQ no es un WSQ completo: the last two bytes are not the end of image"
expect_log "$stage_root/half-file" "El conversor WSQ terminó con código 0"
expect_log "$stage_root/half-file" "El archivo WSQ no es un WSQ completo: "

dir=$stage_root/whole-exit-1
stage "$dir" scripted-converter
export VELMAR_CONVERTER="whole 1"
run_capture whole-exit-1 "$dir" "$ini"
unset VELMAR_CONVERTER
[ "$(result exit)" = 0 ] || fail "whole file, exit 1: exit $(result exit), want 0"
[ "$(result wsq_bytes)" -ge 2 ] || fail "whole file, exit 1: WSQ stream of $(result wsq_bytes) bytes"
wine "$wsq_exe" --info "$(winpath "$out/wsq.bin")" </dev/null 2>&1 | tr -d '\r' | grep -qx "stream check: whole" ||
  fail "whole file, exit 1: the delivered stream is not whole"
expect_log "$dir" "El conversor WSQ terminó con código 1"
expect_log "$dir" "	INF	SUCCESS"
echo "ok: whole file, exit 1 -> 0"
