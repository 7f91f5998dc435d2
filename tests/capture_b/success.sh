#!/usr/bin/env bash
# Good captures. The converter's WSQ travels on the WSQ pipe and decodes (with wsq.exe) to the
# 512 x 512 normalised finger; with "-bp" the image pipe carries the BMP of the reader's image at its
# own size, pixel for pixel. The raw and WSQ temporaries go to the user's temporary folder (quoted on
# the converter's command line) and the log to the user's local application data; --file keeps the
# temporaries, --debug, --bmp and --wsq leave their files in the working directory, with their sizes;
# the day's log is UTF-16 with a byte order mark and every line's checksum verifies. A speck beside the
# finger does not spoil the capture, and without "-bp" the image pipe is not opened; without file
# options nothing is left behind, and nothing is ever written into the install folder unasked.
source "$(dirname "$0")/capture_b_lib.sh"
check() { python3 "$(dirname "$0")/check_files.py" "$@"; }

ini=$stage_root/scenario.ini
dir=$stage_root/stage
stage "$dir"
work=$dir/capture/dpfpdd
temp=$(temp_dir "$dir")

# A finger image of 360 x 440 from a file, every file option on.
check finger-pgm "$stage_root/finger.pgm" 360 440
scenario "$ini" "image = finger.pgm" "delay_ms = 300"
rm -f "$work"/huella.bmp "$work"/copy.wsq
# Values are taken whatever follows, so --bmp is given its name: standing last it would take the
# "-p" the host appends.
run_capture image-file "$dir" "$ini" --file --debug --wsq copy.wsq --bmp huella.bmp
[ "$(result exit)" = 0 ] || fail "exit $(result exit), want 0"
[ "$(result wsq_bytes)" -ge 2 ] || fail "WSQ stream of $(result wsq_bytes) bytes"
[ "$(od -An -tx1 -N2 "$out/wsq.bin" | tr -d ' \n')" = ffa0 ] || fail "the WSQ stream does not start with FF A0"
wine "$wsq_exe" --decode "$(winpath "$out/wsq.bin")" "$(winpath "$out/decoded.pgm")" </dev/null >/dev/null 2>&1 ||
  fail "wsq.exe cannot decode the WSQ stream"
check pgm "$out/decoded.pgm" 512 512
check bmp "$out/bmp.bin" 360 440
check same-pixels "$out/bmp.bin" "$stage_root/finger.pgm"
expect_log "$dir" "	INF	SUCCESS"
expect_log "$dir" "COMANDO CONVERTER : ../../wsq.exe \"$(winpath "$temp")\\final-"
# The segmentation's progress lines are debug lines of this log, its failures error lines.
expect_log "$dir" "	DEB	simple thresholding..."

raw=$(ls "$temp"/final-*.raw)
id=${raw##*/final-}
id=${id%.raw}
[[ $id =~ ^[0-9A-Za-z]{6}$ ]] || fail "run id '$id'"
size() { stat -c %s "$1"; }
[ "$(size "$raw")" = 262144 ] || fail "raw file of $(size "$raw") bytes"
cmp -s "$temp/final-$id.raw.wsq" "$out/wsq.bin" || fail "the kept WSQ file differs from the stream"
cmp -s "$work/copy.wsq" "$out/wsq.bin" || fail "the --wsq copy differs from the stream"
check pgm "$work/original-$id.pgm" 360 440
check pgm "$work/original.b&w-$id.pgm" 360 440
check pgm "$work/original.masked-$id.pgm" 360 440
[ "$(size "$work/huella.bmp")" = 263222 ] || fail "huella.bmp of $(size "$work/huella.bmp") bytes"
check bmp "$work/huella.bmp" 512 512
# Named by the local date (the run may have begun just before midnight).
log_file "$dir" | grep -qE "/logdev-($(date +%Y%m%d)|$(date -d '-5 minutes' +%Y%m%d))\.log$" ||
  fail "no logdev-<today>.log"
lines=$(check log "$(log_file "$dir")")
expect_install_untouched "$dir" huella.bmp copy.wsq "original-$id.pgm" "original.b&w-$id.pgm" "original.masked-$id.pgm"
echo "ok: image file -> 0; WSQ $(result wsq_bytes) bytes decodes to 512 x 512; BMP 360 x 440; files kept; $lines log lines verified"

# A synthetic finger with specks beside it, no file options: a success, and nothing left behind.
rm -f "$temp"/final-* "$work"/original* "$work"/huella.bmp "$work"/copy.wsq
scenario "$ini" "specks = 3" "delay_ms = 300"
run_capture specks "$dir" "$ini" --no-bmp-pipe
[ "$(result exit)" = 0 ] || fail "specks: exit $(result exit), want 0"
[ "$(result wsq_bytes)" -ge 2 ] || fail "specks: WSQ stream of $(result wsq_bytes) bytes"
[ "$(result bmp_client)" = 0 ] || fail "specks: the image pipe was opened without -bp"
ls "$temp"/final-* "$work"/original* >/dev/null 2>&1 && fail "specks: temporary files left behind"
expect_install_untouched "$dir"
check log "$(log_file "$dir")" >/dev/null
echo "ok: finger with specks -> 0; no image pipe without -bp; no files left"
