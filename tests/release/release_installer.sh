#!/usr/bin/env bash
# The installer made from the staged tree (scripts/release.py, as scripts/package --with-stand-ins
# makes it), under Wine: a silent install lays every file down under Program Files with the dist
# layout; one capture from the installed tree gives exit code 0 and a WSQ that decodes; an installer
# with a higher version installed over it leaves one product registered, with the new version; the
# silent uninstall removes every installed file and leaves the log files the programs wrote. Without
# --with-stand-ins the package carries no stand-in library.
#
# usage: release_installer.sh DIST INSTALLED_PRODUCTS_EXE PRODUCT_ENV
set -euo pipefail
dist=$1 installed_products=$2
source "$3"  # VELMAR_VERSION, VELMAR_PRODUCT_NAME, VELMAR_COMPANY
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/../e2e/e2e_lib.sh"
art=$(artefact_dir)
out=$art/out
rm -rf "$out"

IFS=. read -r major minor patch _ <<<"$VELMAR_VERSION"
newer=$major.$minor.$((patch + 1))
package() {  # package VERSION DIR [--with-stand-ins]
  python3 "$root/scripts/release.py" --dist "$dist" --out "$2" --version "$1" --product "$VELMAR_PRODUCT_NAME" \
    --company "$VELMAR_COMPANY" "${@:3}" >/dev/null || fail "release.py $* failed"
}
package "$VELMAR_VERSION" "$out/plain"
package "$VELMAR_VERSION" "$out/v1" --with-stand-ins
package "$newer" "$out/v2" --with-stand-ins

# The zip holds the dist tree; without --with-stand-ins neither the zip nor the MSI has a stand-in.
mapfile -t shipped < <(cd "$dist" && find . -type f -printf '%P\n' | sort)
mapfile -t zipped < <(python3 -c 'import sys,zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' \
  "$out/v1/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION.zip")
[ "${shipped[*]}" = "${zipped[*]}" ] || fail "the zip holds ${zipped[*]}, the tree ${shipped[*]}"
(cd "$out/v1" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
plain_files=$(msiinfo export "$out/plain/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION.msi" File | cut -f3)
plain_zip=$(python3 -c 'import sys,zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' \
  "$out/plain/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION.zip")
for lib in ftrScanAPI.dll ftrMathAPI.dll ftrAnsiSdk.dll dpfpdd.dll; do
  ! grep -qix "$lib" <<<"$plain_files" || fail "the package without stand-ins carries $lib"
  ! grep -qi "/$lib\$" <<<"$plain_zip" || fail "the zip without stand-ins carries $lib"
done
grep -qx velmar-capture-a.exe <<<"$plain_files" || fail "the package without stand-ins lacks velmar-capture-a.exe"
echo "packages: $(ls "$out"/*/*.msi | xargs -n1 basename | sort -u | tr '\n' ' ')"

upgrade_code=$(grep -o '^UPGRADE_CODE = "[^"]*"' "$root/scripts/release.py" | cut -d'"' -f2)
installed=$WINEPREFIX/drive_c/Program\ Files/$VELMAR_PRODUCT_NAME
msiexec_run() {  # msiexec_run /i|/x MSI
  local status=0
  wine msiexec "$1" "$(winpath "$2")" /qn </dev/null >"$art/msiexec.txt" 2>&1 || status=$?
  [ $status -eq 0 ] || { cat "$art/msiexec.txt" >&2; fail "msiexec $1 $(basename "$2") ended with $status"; }
}
products() { wine "$installed_products" "$upgrade_code" </dev/null | tr -d '\r'; }
expect_installed() {  # expect_installed VERSION: one product of that version, every file in place
  local list
  list=$(products)
  [ "$(grep -c . <<<"$list")" -eq 1 ] || fail "want one registered product, have: ${list:-none}"
  [ "$(cut -d'|' -f2 <<<"$list")" = "$1" ] || fail "registered version $(cut -d'|' -f2 <<<"$list"), want $1"
  # What Add/Remove Programs lists: the product's uninstall entry, in the 64-bit registry view (where
  # 32-bit Wine is installed, `wine reg` may be the 32-bit reg.exe, which sees the 32-bit view).
  local entry
  entry=$(wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(cut -d'|' -f1 <<<"$list")" /reg:64 \
          </dev/null 2>/dev/null | tr -d '\r') || fail "no Add/Remove Programs entry for $list"
  grep -Eq "DisplayVersion +REG_SZ +$1\$" <<<"$entry" || fail "Add/Remove Programs shows no version $1: $entry"
  grep -Eq "DisplayName +REG_SZ +$VELMAR_PRODUCT_NAME\$" <<<"$entry" || fail "Add/Remove Programs shows no name: $entry"
  for rel in "${shipped[@]}"; do
    cmp -s "$dist/$rel" "$installed/$rel" || fail "$rel is not installed as staged"
  done
  echo "installed: $list"
}

# The prefix may hold products a failed run left: removed by their product codes.
for code in $(products | cut -d'|' -f1); do
  wine msiexec /x "$code" /qn </dev/null >/dev/null 2>&1 || true
done
[ -z "$(products)" ] || fail "products of an earlier run are still registered: $(products)"

msiexec_run /i "$out/v1/$VELMAR_PRODUCT_NAME-$VELMAR_VERSION.msi"
expect_installed "$VELMAR_VERSION"

# One capture from the installed tree, as a caller does. velmar-capture-b is 64-bit and always runs;
# the 32-bit velmar-capture-a runs where the machine can run 32-bit programs.
capture_from() {  # capture_from a|b
  local dir="$art/capture-$1"
  prepare_run "$dir"
  run_device "$dir" "$installed/velmar-device.exe" "$(app_path "$installed" "$1")" "Coloque el dedo"
  local opts=()
  [ "$1" = b ] && opts=(--jpeg-any)
  expect_line "capture-$1 from the installed tree" "$dir" "$installed" 0 "${opts[@]}"
}
capture_from b
if why=$("$root/cmake/can-run-win32" 2>&1); then
  capture_from a
else
  echo "SKIPPED: capture-a from the installed tree: $why"
fi
# A log the capture application writes in its own folder belongs to the users, not to the package.
user_log="$installed/capture/futronic/Futronic$(date +%Y%m%d).log"
[ -f "$user_log" ] || echo "a log line" >"$user_log"

msiexec_run /i "$out/v2/$VELMAR_PRODUCT_NAME-$newer.msi"
expect_installed "$newer"

msiexec_run /x "$out/v2/$VELMAR_PRODUCT_NAME-$newer.msi"
left=$(products)
[ -z "$left" ] || fail "still registered after the uninstall: $left"
for rel in "${shipped[@]}"; do
  [ ! -e "$installed/$rel" ] || fail "$rel is still installed after the uninstall"
done
[ -f "$user_log" ] || fail "the uninstall removed the user's log $(basename "$user_log")"
echo "uninstalled: no program file left; kept $(cd "$installed" && find . -type f -printf '%P ')"
rm -rf "$installed"
