#!/usr/bin/env bash
# Builds Quilbrook and runs it under Wine on the current X display.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display is available (DISPLAY is not set): Quilbrook needs one to show its window." >&2
  echo "Under a headless machine, run it inside Xvfb: xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi
"$QB_ROOT/scripts/install-deps.sh"
arch=$(qb_runnable_arch)
"$QB_ROOT/scripts/build.sh" "$arch"
qb_use_arch "$arch"
qb_start_wineserver
trap qb_stop_wineserver EXIT
qb_prepare_prefix
# The skin is found as .\skin.skin: run from the folder that holds it.
cd "$QB_BUILD/bin"
"$WINELOADER" Quilbrook.exe
