#!/usr/bin/env bash
# velmar-capture-b ends at start-up, before the reader is touched: without arguments (211 on the
# default pipe), and with a required version newer than its own (221); a required version it meets
# lets the capture run. Its log is in the user's folder; where that folder cannot be made, in its
# working directory.
source "$(dirname "$0")/capture_b_lib.sh"

dir=$stage_root/stage
stage "$dir"
ini=$stage_root/scenario.ini

# No argument at all: no dialog, 211 on the default pipe "\\.\pipe\wsq".
scenario "$ini" "report = faulty"
run_capture no-arguments "$dir" "$ini" --default-names
expect_failure 211
[ -e "$stage_root/trace.txt" ] && fail "the reader was started without arguments"
echo "ok: no arguments -> 211 on \\\\.\\pipe\\wsq"

# Required versions against the current 1.0: 1.0.1 is newer (221, before the reader is touched); 1 is
# a prefix of 1.0 and passes.
run_capture version-too-new "$dir" "$ini" -vr 1.0.1
expect_failure 221
expect_log "$dir" "Versión requerida (1.0.1) NO es compatible con versión actual (1.0)."
[ -e "$stage_root/trace.txt" ] && fail "the reader was started despite the version"
run_capture version-passes "$dir" "$ini" -vr 1
expect_failure 216
expect_log "$dir" "Versión requerida (1) es compatible con versión actual (1.0)."
echo "ok: -vr 1.0.1 -> 221, -vr 1 passes"

python3 "$(dirname "$0")/check_files.py" log "$(log_file "$dir")" >/dev/null
expect_install_untouched "$dir"

# LOCALAPPDATA below a plain file: no folder can be made there, so the log goes to the working directory.
touch "$stage_root/not-a-folder"
local_app_data=$stage_root/not-a-folder/localappdata run_capture no-user-folder "$dir" "$ini" -vr 1.0.1
expect_failure 221
log=$(ls "$dir"/capture/dpfpdd/logdev-*.log 2>/dev/null) || fail "no log in the working directory"
iconv -f UTF-16 -t UTF-8 "$log" | grep -qF "Versión requerida (1.0.1) NO es compatible" ||
  fail "the working directory's log lacks the run's lines"
echo "ok: without a user folder the log is in the working directory"
