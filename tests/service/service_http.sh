#!/usr/bin/env bash
# service_http.sh TREE_ARGS...: service_http.py in this test's artefact folder (see that file).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/e2e_lib.sh"
exec python3 "$here/service_http.py" "$(artefact_dir)" "$@"
