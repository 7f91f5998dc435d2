#!/usr/bin/env bash
# service_ctrl_c.sh TREE_ARGS...: service_ctrl_c.py in this test's artefact folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/e2e_lib.sh"
exec python3 "$here/service_ctrl_c.py" "$(artefact_dir)" "$@"
