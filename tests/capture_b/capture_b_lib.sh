# capture_b_lib.sh: shared steps of velmar-capture-b's tests under Wine + Xvfb, sourced by the test
# scripts. Arguments of every script: CAPTURE_B_EXE DPFPDD_DLL WSQ_EXE FONDO_BMP PIPE_HOST_EXE
# FAILING_CONVERTER_EXE HOTKEY_PROBE_EXE STAGE_ROOT. No step waits without a limit, and no run may reach a message box:
# the tests never pass -mb.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../lib/wine-gui.sh"

capture_b_exe=$1 dpfpdd_dll=$2 wsq_exe=$3 fondo_bmp=$4 pipe_host_exe=$5 scripted_converter_exe=$6
hotkey_probe_exe=$7 stage_root=$8
shift 8
artefacts=$(artefact_dir)
title='V E L M A R - Captura'

# stage DIR [full|no-converter|scripted-converter]: a dist-like tree: DIR/wsq.exe, DIR/fondo.bmp,
# DIR/capture/dpfpdd/velmar-capture-b.exe and dpfpdd.dll.
stage() {
  local dir=$1 kind=${2:-full}
  rm -rf "$dir"
  mkdir -p "$dir/capture/dpfpdd"
  cp "$capture_b_exe" "$dpfpdd_dll" "$dir/capture/dpfpdd/"
  cp "$fondo_bmp" "$dir/"
  case $kind in
    full) cp "$wsq_exe" "$dir/wsq.exe" ;;
    scripted-converter) cp "$scripted_converter_exe" "$dir/wsq.exe" ;;
    no-converter) ;;
  esac
}

# The Windows form of an absolute Unix path (Wine's drive Z: is the Unix root); no wine process needed.
winpath() {
  local p
  p=$(realpath -m "$1")
  printf 'Z:%s\n' "${p//\//\\}"
}

# scenario FILE LINES...: writes a scenario file for the virtual reader (trace beside it).
scenario() {
  local file=$1
  shift
  mkdir -p "$(dirname "$file")"
  printf '%s\n' "trace = trace.txt" "$@" >"$file"
  rm -f "$(dirname "$file")/trace.txt"
}

# The user folders of a stage's runs: STAGE/user/localappdata (LOCALAPPDATA, where the log goes) and
# STAGE/user/temp (TEMP, the temporary files). The pipe host hands them to the program (Wine would give
# it the prefix's own).
log_dir() { printf '%s\n' "$1/user/localappdata/velmar/velmar-capture-b"; }
temp_dir() { printf '%s\n' "$1/user/temp"; }

# start_capture NAME STAGE SCENARIO [--no-bmp-pipe | --default-names] [ARGS...]: starts the program
# through the pipe host in the background (pid in $host_pid) with "-v 3" and ARGS (with
# --default-names: ARGS alone, and the host serves the default pipe names); results go to
# $artefacts/NAME/. The stage's log is emptied first, so it holds this run's lines only. $local_app_data,
# when set, is the program's LOCALAPPDATA instead of the stage's.
start_capture() {
  local name=$1 dir=$2 scen=$3
  shift 3
  local hostopt=() level=(-v 3)
  case ${1:-} in
    --no-bmp-pipe) hostopt=(--no-bmp-pipe); shift ;;
    --default-names) hostopt=(--default-names); level=(); shift ;;
  esac
  out="$artefacts/$name"
  rm -rf "$out"
  mkdir -p "$out"
  rm -f "$(log_dir "$dir")"/logdev-*.log
  mkdir -p "$dir/user/localappdata" "$(temp_dir "$dir")"
  VELMAR_TEST_LOCALAPPDATA=$(winpath "${local_app_data:-$dir/user/localappdata}") \
  VELMAR_TEST_TEMP=$(winpath "$(temp_dir "$dir")") \
  VIRTUAL_SCANNER_SCENARIO=$(winpath "$scen") wine "$pipe_host_exe" "$(winpath "$out")" 60 "${hostopt[@]}" -- \
    "$(winpath "$dir/capture/dpfpdd/velmar-capture-b.exe")" "${level[@]}" "$@" </dev/null &
  host_pid=$!
}

# finish_capture: waits for the pipe host (at most 90 s); fails when it does not end or reports nothing.
finish_capture() {
  local i status
  for ((i = 0; i < 900; i++)); do
    kill -0 "$host_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$host_pid" 2>/dev/null; then
    kill "$host_pid" 2>/dev/null || true
    fail "pipe host still running after 90 s"
  fi
  status=0
  wait "$host_pid" || status=$?
  [ "$status" = 0 ] && [ -s "$out/result.txt" ] || fail "pipe host failed with $status"
}

# run_capture NAME STAGE SCENARIO [ARGS...]: start and finish.
run_capture() {
  start_capture "$@"
  finish_capture
}

result() { sed -n "s/^$1=//p" "$out/result.txt" | tr -d '\r'; }

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# expect_failure CODE: exit code CODE, exactly that byte on the WSQ pipe, the image pipe untouched.
expect_failure() {
  local code=$1 byte
  [ "$(result exit)" = "$code" ] || fail "$out: exit $(result exit), want $code"
  [ "$(result wsq_bytes)" = 1 ] || fail "$out: WSQ stream of $(result wsq_bytes) bytes, want 1"
  byte=$(od -An -tu1 "$out/wsq.bin" | tr -d ' \n')
  [ "$byte" = "$code" ] || fail "$out: WSQ byte $byte, want $code"
  [ "$(result bmp_client)" = 0 ] || fail "$out: the image pipe was opened"
}

# log_file STAGE: the day's log file of the program's runs in that stage.
log_file() {
  local file
  file=$(ls "$(log_dir "$1")"/logdev-*.log 2>/dev/null | head -n1)
  [ -n "$file" ] || { echo "no log in $(log_dir "$1")" >&2; return 1; }
  printf '%s\n' "$file"
}

# log_of STAGE: that log as UTF-8 text.
log_of() {
  local file
  file=$(log_file "$1") || return 1
  iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r'
}

# expect_install_untouched STAGE [NAMES...]: the program's folder holds only what was installed
# there, and the files the run was asked to write there (NAMES).
expect_install_untouched() {
  local dir=$1 extra
  shift
  extra=$(cd "$dir/capture/dpfpdd" && ls | grep -vxF -e velmar-capture-b.exe -e dpfpdd.dll "${@/#/-e}" || true)
  [ -z "$extra" ] || fail "written into the install folder: $extra"
}

# shot NAME WINDOW_ID: a screenshot kept as an artefact; bounded, since the window may be closing.
shot() {
  timeout 10 import -window "$2" "$artefacts/$1.png" 2>/dev/null || true
  printf '%s\n' "$artefacts/$1.png"
}

expect_log() {
  grep -qF -- "$2" <(log_of "$1") || fail "log of $1 lacks: $2"
}
