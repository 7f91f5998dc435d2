#!/usr/bin/env bash
# service_browser.sh NODE_DEPS_DIR TREE_ARGS...: installs playwright-core as package-lock.json pins it
# into NODE_DEPS_DIR (once), then runs service_browser.py in this test's artefact folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/e2e_lib.sh"
deps=$1
shift
[ -x /usr/bin/chromium ] || fail "no /usr/bin/chromium (scripts/setup installs it)"
if ! cmp -s "$here/browser/package-lock.json" "$deps/package-lock.json" || [ ! -d "$deps/node_modules/playwright-core" ]; then
  mkdir -p "$deps"
  cp "$here/browser/package.json" "$here/browser/package-lock.json" "$deps/"
  (cd "$deps" && npm ci --no-audit --no-fund >/dev/null) || fail "npm ci of playwright-core failed"
fi
exec python3 "$here/service_browser.py" "$(artefact_dir)" "$deps/node_modules" "$@"
