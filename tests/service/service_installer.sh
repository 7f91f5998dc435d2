#!/usr/bin/env bash
# The installer's service properties under Wine: a package made by scripts/release.py from a tree with
# the service, installed with ALLOWED_ORIGINS and AUTOSTART=1, writes velmar-device-origins.txt beside
# the program (read back as the service reads it) and the log-on entry under the machine's Run key;
# the entry's program starts velmar-device.exe --serve without a console, in the user's
# %LOCALAPPDATA%\velmar folder, and the service it starts answers the installed origins with CORS;
# the uninstall takes the origins file and the entry away with the files. A package installed without
# the properties writes neither.
#
# usage: service_installer.sh PRODUCT_ENV INSTALLED_PRODUCTS_EXE STARTER_EXE TREE_ARGS...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/../e2e/e2e_lib.sh"
source "$1"  # VELMAR_VERSION, VELMAR_PRODUCT_NAME, VELMAR_COMPANY
installed_products=$2 starter=$3
shift 3
art=$(artefact_dir)
rm -rf "$art/dist" "$art/out"
bash "$here/make_tree.sh" "$art/dist" "$@" >/dev/null
cp "$starter" "$art/dist/"
python3 "$root/scripts/release.py" --dist "$art/dist" --out "$art/out" --version "$VELMAR_VERSION" \
  --product "$VELMAR_PRODUCT_NAME" --company "$VELMAR_COMPANY" --with-stand-ins >/dev/null || fail "release.py failed"
msi=$art/out/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION-with-stand-ins.msi
installed=$WINEPREFIX/drive_c/Program\ Files/$VELMAR_PRODUCT_NAME
origins_file=$installed/velmar-device-origins.txt
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
# The 64-bit view, where the 64-bit starter writes (plain `wine reg` may be the 32-bit one).

msiexec_run() {  # msiexec_run /i|/x [PROPERTY=VALUE...]
  local action=$1 status=0
  shift
  wine msiexec "$action" "$(winpath "$msi")" "$@" /qn </dev/null >"$art/msiexec.txt" 2>&1 || status=$?
  [ $status -eq 0 ] || { cat "$art/msiexec.txt" >&2; fail "msiexec $action $* ended with $status"; }
}
run_entry() { wine reg query "$run_key" /v "velmar service" /reg:64 </dev/null 2>/dev/null | tr -d '\r' | grep 'REG_SZ' || true; }

# The prefix may hold products a failed run left (this test's or the release test's, which share the
# upgrade code): removed by their product codes.
upgrade_code=$(grep -o '^UPGRADE_CODE = "[^"]*"' "$root/scripts/release.py" | cut -d'"' -f2)
for code in $(wine "$installed_products" "$upgrade_code" </dev/null | tr -d '\r' | cut -d'|' -f1); do
  wine msiexec /x "$code" /qn </dev/null >/dev/null 2>&1 || true
done

# Without the properties: neither the file nor the entry.
msiexec_run /i
[ -f "$installed/velmar-service-start.exe" ] || fail "velmar-service-start.exe not installed"
[ ! -e "$origins_file" ] || fail "an origins file without ALLOWED_ORIGINS"
[ -z "$(run_entry)" ] || fail "a log-on entry without AUTOSTART=1: $(run_entry)"
msiexec_run /x
echo "without properties: no origins file, no log-on entry"

# An entry that is not an origin fails the install: nothing stays installed.
status=0
wine msiexec /i "$(winpath "$msi")" "ALLOWED_ORIGINS=https://ok.example,*" /qn </dev/null >"$art/msiexec.txt" 2>&1 || status=$?
[ $status -ne 0 ] || fail "an install with ALLOWED_ORIGINS=https://ok.example,* succeeded"
[ ! -e "$installed/velmar-device.exe" ] || fail "a failed install left velmar-device.exe"
[ ! -e "$origins_file" ] || fail "a failed install left an origins file"
echo "ALLOWED_ORIGINS with a wildcard: msiexec ended with $status, nothing installed"

msiexec_run /i "ALLOWED_ORIGINS=http://localhost:8080,https://Clinic.example/" AUTOSTART=1
[ -f "$origins_file" ] || fail "no origins file after an install with ALLOWED_ORIGINS"
read_back=$(python3 - "$origins_file" <<'PY'
import sys
lines = [l.strip() for l in open(sys.argv[1], encoding="utf-8")]
print(" ".join(l for l in lines if l and not l.startswith("#")))
PY
)
[ "$read_back" = "http://localhost:8080 https://clinic.example" ] || fail "origins file holds: $read_back"
entry=$(run_entry)
grep -qF "C:\\Program Files\\$VELMAR_PRODUCT_NAME\\velmar-service-start.exe" <<<"$entry" || fail "log-on entry: ${entry:-none}"
echo "installed: origins file [$read_back], log-on entry [$(sed 's/^ *//' <<<"$entry")]"

# What the log-on does: the entry's program starts the service without a console, in the user's folder.
local_app=$(wine cmd /c echo %LOCALAPPDATA% </dev/null 2>/dev/null | tr -d '\r')
service_dir=$WINEPREFIX/drive_c/${local_app#C:\\}
service_dir=${service_dir//\\//}/velmar
rm -rf "$service_dir"
wine "$installed/velmar-service-start.exe" </dev/null >/dev/null 2>&1 || fail "velmar-service-start failed"
started=
for _ in $(seq 300); do
  started=$(cat "$service_dir"/velmar-device/*.log 2>/dev/null | grep -E 'http service serving|http service not started' || true)
  [ -n "$started" ] && break
  sleep 0.1
done
[ -n "$started" ] || fail "no service log in $service_dir"
echo "log-on start: ${started#*LOG_* }"
if grep -q 'serving' <<<"$started"; then
  # The default port was free: the installed origins are the service's.
  cors=$(curl -s -o /dev/null -D - -X OPTIONS -H 'Origin: https://clinic.example' http://127.0.0.1:4750/v1/capture | tr -d '\r')
  grep -qx 'Access-Control-Allow-Origin: https://clinic.example' <<<"$cors" || fail "the started service: $cors"
  echo "the started service allows https://clinic.example"
fi
# The service the starter started: the one of this test's Wine prefix (other checkouts may run their own).
for pid in $(pgrep -f 'velmar-device.exe --serve' || true); do
  if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
    kill "$pid" 2>/dev/null || true
    # Its program file stays in use until it has ended, and the uninstall could not remove it.
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
done

msiexec_run /x
[ ! -e "$origins_file" ] || fail "the origins file stayed after the uninstall"
[ -z "$(run_entry)" ] || fail "the log-on entry stayed after the uninstall: $(run_entry)"
[ -z "$(wine "$installed_products" "$upgrade_code" </dev/null | tr -d '\r')" ] || fail "still registered after the uninstall"
echo "uninstalled: origins file and log-on entry gone"
rm -rf "$installed"
