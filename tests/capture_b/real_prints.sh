#!/usr/bin/env bash
# Real prints (NIST's) laid on the virtual reader. cmp00007's flexion crease splits it into two dark
# regions, the smaller about a fifth of the image: it is still one finger, the capture succeeds and
# its WSQ decodes to the 512 x 512 finger. Two real fingers laid together (sample_01's two fingers,
# framed with a margin as a reader frames them) are refused: 204, one byte 0xCC.
# Extra argument after the common ones: the folder of NIST's raw prints.
source "$(dirname "$0")/capture_b_lib.sh"
nist=$1

ini=$stage_root/scenario.ini
dir=$stage_root/stage
stage "$dir"
/usr/bin/convert -size 545x638 -depth 8 "gray:$nist/cmp00007.raw" "pgm:$stage_root/creased.pgm"
/usr/bin/convert -size 1600x1500 -depth 8 "gray:$nist/sample_01.raw" -crop 703x474+450+1026 +repage \
  -background white -gravity north -extent 703x514 "pgm:$stage_root/two-fingers.pgm"

scenario "$ini" "image = creased.pgm" "delay_ms = 300"
run_capture creased "$dir" "$ini"
[ "$(result exit)" = 0 ] || fail "creased print: exit $(result exit), want 0"
[ "$(result wsq_bytes)" -ge 2 ] || fail "creased print: WSQ stream of $(result wsq_bytes) bytes"
wine "$wsq_exe" --decode "$(winpath "$out/wsq.bin")" "$(winpath "$out/decoded.pgm")" </dev/null >/dev/null 2>&1 ||
  fail "creased print: wsq.exe cannot decode the WSQ stream"
python3 "$(dirname "$0")/check_files.py" pgm "$out/decoded.pgm" 512 512
expect_log "$dir" "	INF	SUCCESS"
echo "ok: creased real print -> 0; WSQ $(result wsq_bytes) bytes decodes to 512 x 512"

scenario "$ini" "image = two-fingers.pgm" "delay_ms = 300"
run_capture two-real-fingers "$dir" "$ini"
expect_failure 204
expect_log "$dir" "	ERR	WRONG FINGERPRINT"
echo "ok: two real fingers -> 204"
