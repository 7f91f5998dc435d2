#!/usr/bin/env bash
# reliability_sections.sh: the sections of scripts/reliability, run inside its Wine session. Environment:
# REL_ROOT (source tree), REL_WIN64 (win64 build), REL_WORK (work folder with dist/ staged), REL_COUNT,
# REL_ONLY (comma-separated section numbers).
set -euo pipefail
source "$REL_ROOT/tests/e2e/e2e_lib.sh"

dist=$REL_WORK/dist
device=$dist/velmar-device.exe
loop_exe=$REL_WIN64/tests/e2e/e2e_capture_loop.exe
half_exe=$REL_WIN64/tests/e2e/e2e_half_wsq_capture.exe
json_exe=$REL_WIN64/tests/e2e/e2e_json_timing.exe
synthetic_exe=$REL_WIN64/devices/synthetic/synthetic-finger.exe
status=0
problem() {
  echo "PROBLEM: $*"
  status=1
}
wanted() { [[ ",$REL_ONLY," == *",$1,"* ]]; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR ? v[int((NR + 1) / 2)] : "-") }'; }

# fast_scenario APP: a finger the virtual scanner shows at once (capture-a) or reports after 100 ms.
fast_scenario() { if [ "$1" = a ]; then echo "timeline = finger"; else echo "delay_ms = 100"; fi; }

# loop DIR APP COUNT [--expect CODE] [COMMAND]: COUNT captures in one process; output in DIR/loop.txt.
loop() {
  local dir=$1 app=$2 n=$3 rc=0
  shift 3
  local extra=() command
  command=$(app_path "$dist" "$app")
  if [ "${1:-}" = --expect ]; then extra=(--expect "$2"); shift 2; fi
  [ $# -gt 0 ] && command=$1
  (cd "$dir" && timeout $((60 * n + 60)) wine "$loop_exe" "$command" "$n" --save "$(winpath "$dir")" "${extra[@]}" \
     </dev/null >"$dir/loop.txt" 2>"$dir/stderr.txt") || rc=$?
  tr -d '\r' <"$dir/loop.txt" >"$dir/loop.clean.txt"
  return $rc
}

# capture_pid NAME: the Linux process id of the capture application NAME running in this session's
# Wine prefix, so only a process this run started is ever chosen.
capture_pid() {
  local name=$1 pid
  for pid in $(pgrep -f -- "$name" || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      printf '%s\n' "$pid"
      return 0
    fi
  done
  return 1
}

# log_ms DIR TEXT: the time of the host log's first line holding TEXT, in milliseconds since the epoch.
log_ms() {
  local stamp
  stamp=$(host_logs_of_run "$1" | xargs -r grep -ahF -- "$2" | head -n1 | cut -c1-23)
  date -d "$stamp" +%s%3N
}

line_code() {
  python3 -c 'import json,sys
line = open(sys.argv[1], "rb").read().split(b"\n")[0].strip()
print(json.loads(line)["exitcode"] if line else "(empty line)")' "$1" 2>/dev/null || echo "(no JSON line)"
}

if wanted 1; then
  echo "== 1. $REL_COUNT consecutive captures through capture in one host process"
  for app in a b; do
    dir=$REL_WORK/loop-$app
    prepare_run "$dir" "$(fast_scenario $app)"
    start=$(now_ms)
    rc=0
    loop "$dir" $app "$REL_COUNT" || rc=$?
    seconds=$((($(now_ms) - start) / 1000))
    times=$(sed -n 's/^capture [0-9]*: code .*, \([0-9]*\) ms.*/\1/p' "$dir/loop.clean.txt")
    printf 'capture-%s: %s captures in %s s; per capture min %s ms, median %s ms, max %s ms\n' "$app" \
      "$(echo "$times" | grep -c .)" "$seconds" "$(echo "$times" | sort -n | head -n1)" \
      "$(echo "$times" | median)" "$(echo "$times" | sort -n | tail -n1)"
    grep -E '^(first|middle|last|failures)' "$dir/loop.clean.txt" | sed "s/^/capture-$app: /"
    grep -E ': code .*ms: ' "$dir/loop.clean.txt" | head -n 5 | sed "s/^/capture-$app: /" || true
    [ $rc = 0 ] || problem "capture-$app loop ended with $rc"
  done
fi

if wanted 2; then
  echo "== 2. four callers at once"
  for app in a b; do
    # Everything prepared first (the Wine path conversions take a while), so the four start together.
    scenarios=()
    for i in 1 2 3 4; do
      dir=$REL_WORK/callers-$app/$i
      if [ $app = a ]; then prepare_run "$dir"
      else prepare_run "$dir" "image = finger.pgm"; reader_image "$dir" "$synthetic_exe"; fi
      scenarios+=("${VIRTUAL_SCANNER_SCENARIO:-}")
    done
    command=$(app_path "$dist" $app)
    pids=()
    for i in 1 2 3 4; do
      dir=$REL_WORK/callers-$app/$i
      if [ -n "${scenarios[$((i - 1))]}" ]; then export VIRTUAL_SCANNER_SCENARIO=${scenarios[$((i - 1))]}
      else unset VIRTUAL_SCANNER_SCENARIO; fi
      start_device "$dir" "$device" "$command" "llamada $i"
      pids+=("$device_pid")
    done
    start=$(now_ms)
    codes=()
    for i in 1 2 3 4; do
      dir=$REL_WORK/callers-$app/$i
      device_pid=${pids[$((i - 1))]}
      finish_device "$dir" 120
      code=$(line_code "$dir/stdout.txt")
      codes+=("$code")
      check=()
      [ $app = b ] && check=(--jpeg-ref "$dir/finger.pgm")
      report=$(python3 "$REL_ROOT/tests/e2e/check_line.py" "${check[@]}" "$dir/stdout.txt" "$code" "$dir" wine \
        "$dist/wsq.exe" 2>&1) ||
        problem "capture-$app caller $i: $report"
      echo "capture-$app caller $i: status $(cat "$dir/status.txt"), $report"
    done
    echo "capture-$app: all four ended within $((($(now_ms) - start) / 1000)) s of the last start; codes ${codes[*]}"
    [ "$(printf '%s\n' "${codes[@]}" | sort | tr '\n' ' ')" = "0 202 202 202 " ] ||
      problem "capture-$app: codes ${codes[*]}, want one 0 and three 202"
  done
fi

if wanted 3; then
  echo "== 3. a capture application killed in the middle of a capture"
  for app in a b; do
    dir=$REL_WORK/killed-$app
    if [ $app = a ]; then prepare_run "$dir" "timeline = none"; exe_name=velmar-capture-a.exe
    else prepare_run "$dir" "report = none"; exe_name=velmar-capture-b.exe; fi
    start_device "$dir" "$device" "$(app_path "$dist" $app)" "matar"
    if [ $app = a ]; then wait_capture_a_window 30 >/dev/null || problem "no capture-a window"
    else wait_window "$capture_b_title" 30 >/dev/null || problem "no capture-b dialog"; fi
    sleep 1
    pid=$(capture_pid "$exe_name") || { problem "capture-$app: its process was not found"; continue; }
    kill -KILL "$pid"
    killed=$(now_ms)
    if finish_device "$dir" 60; then
      echo "capture-$app killed (Linux pid $pid): velmar-device ended $(($(now_ms) - killed)) ms later with" \
        "status $(cat "$dir/status.txt") and exitcode $(line_code "$dir/stdout.txt")"
      host_logs_of_run "$dir" | xargs -r grep -ahE "process closed|response size|image size|didn't receive" 2>/dev/null |
        sed 's/^/    host log: /' || true
    else
      problem "capture-$app killed: velmar-device did not return within 60 s"
    fi
  done
fi

if wanted 4; then
  echo "== 4. a capture application that writes half a WSQ file and dies"
  dir=$REL_WORK/half-wsq
  prepare_run "$dir" "timeline = finger"
  loop "$dir" a 1 || problem "no WSQ file to cut in half"
  cp "$dir/wsq.bin" "$dir/full.wsq"
  export VELMAR_HALF_WSQ_FILE
  VELMAR_HALF_WSQ_FILE=$(winpath "$dir/full.wsq")
  rc=0
  loop "$dir" a 1 --expect 299 "$(winpath "$half_exe")" || rc=$?
  echo "full WSQ $(stat -c %s "$dir/full.wsq") bytes; capture returned: $(grep '^capture 1:' "$dir/loop.clean.txt")"
  run_device "$dir" "$device" "$(winpath "$half_exe")" "mitad" 60
  first_line=$(head -n1 "$dir/stdout.txt" | tr -d '\r')
  echo "velmar-device: status $(cat "$dir/status.txt"), first line of standard output ${#first_line} characters:" \
    "'${first_line:0:120}'"
  host_logs_of_run "$dir" | xargs -r grep -ahE "response size|image size|not a whole|error json" 2>/dev/null | sed 's/^/    host log: /' || true
  unset VELMAR_HALF_WSQ_FILE
fi

if wanted 5; then
  echo "== 5. timings"
  dir=$REL_WORK/timing
  prepare_run "$dir" "timeline = finger"
  loop "$dir" a 1 || problem "no capture to time toJsonString with"
  wine "$json_exe" "$(winpath "$dir/bmp.bin")" "$(winpath "$dir/wsq.bin")" 20 </dev/null | tr -d '\r'

  # Host start and end under Wine with no capture at all (a program that is not there: 211).
  base=()
  for i in 1 2 3; do
    prepare_run "$dir/base-$i"
    start=$(now_ms)
    run_device "$dir/base-$i" "$device" "$(winpath "$dist")\\missing.exe" "x" 60
    base+=($(($(now_ms) - start)))
  done
  echo "velmar-device without a capture (missing application, 211), request to exit: median $(printf '%s\n' "${base[@]}" | median) ms"

  # One capture with the built-in default scenarios, request line to JSON line, five times each.
  # Fixed waits by design in that road: the host's 50 ms before starting the child; capture-a 50 ms at
  # the end of init, 20 rounds of 50 ms without a finger, 2 x 50 ms for the second and third finger
  # frame, 100 ms and 250 ms while closing; capture-b the reader's report 1000 ms after arming and
  # 1000 ms before the dialog ends (it waits for the converter process, not a fixed time).
  for app in a b; do
    if [ $app = a ]; then fixed=1550; else fixed=2050; fi
    to_line=() to_exit=() host_start=() in_capture=() after_capture=()
    for i in 1 2 3 4 5; do
      run=$dir/$app-$i
      prepare_run "$run"
      start=$(now_ms)
      start_device "$run" "$device" "$(app_path "$dist" $app)" "Coloque el dedo"
      line_at=
      for ((t = 0; t < 6000; t++)); do
        if [ -z "$line_at" ] && [ -s "$run/stdout.txt" ] && grep -q . "$run/stdout.txt"; then line_at=$(now_ms); fi
        kill -0 "$device_pid" 2>/dev/null || break
        sleep 0.01
      done
      finish_device "$run" 30
      [ -n "$line_at" ] || line_at=$(now_ms)
      to_line+=($((line_at - start)))
      to_exit+=($(($(now_ms) - start)))
      # The host log's wall-clock times split the road: Wine starting velmar-device up to capture, the
      # capture itself, and the JSON line after it.
      began=$(log_ms "$run" "capture(biodevice=") ended=$(log_ms "$run" "capture(...) returns")
      host_start+=($((began - start)))
      in_capture+=($((ended - began)))
      after_capture+=($((line_at - ended)))
      [ "$(line_code "$run/stdout.txt")" = 0 ] || problem "capture-$app timing run $i: exitcode $(line_code "$run/stdout.txt")"
    done
    m=$(printf '%s\n' "${to_line[@]}" | median)
    c=$(printf '%s\n' "${in_capture[@]}" | median)
    echo "capture-$app: request line to JSON line ${to_line[*]} ms (median $m ms; to exit median" \
      "$(printf '%s\n' "${to_exit[@]}" | median) ms): fixed waits $fixed ms, the rest $((m - fixed)) ms"
    echo "capture-$app: medians: request to capture() $(printf '%s\n' "${host_start[@]}" | median) ms;" \
      "capture() $c ms (fixed waits $fixed ms, the rest $((c - fixed)) ms); capture() to JSON line" \
      "$(printf '%s\n' "${after_capture[@]}" | median) ms"
  done
fi
exit $status
