#!/usr/bin/env bash
# Builds everything and runs every test under Wine on a private Xvfb display.
# Installs what is missing first. Ends with CTest's summary; exits non-zero on any failure.
# Arguments go to CTest (e.g. -R skin_tests runs one layer's tests).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$QB_ROOT/scripts/install-deps.sh"
arch=$(qb_runnable_arch)
if [ "$arch" != i686 ]; then
  echo "This machine cannot run 32-bit code: the tests run on the x86_64 build under 64-bit Wine."
fi
"$QB_ROOT/scripts/build.sh" "$arch"
if [ "$arch" != i686 ]; then
  # The shipped program is 32-bit: make sure it still builds.
  "$QB_ROOT/scripts/build.sh" i686 OFF
fi
qb_use_arch "$arch"

started=()
cleanup() {
  qb_stop_wineserver
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

qb_start_xvfb || { started+=("$QB_XVFB_PID"); exit 1; }
started+=("$QB_XVFB_PID")

qb_start_wineserver
qb_prepare_prefix
"$WINELOADER" "$QB_BUILD/bin/holddesktop.exe" >/dev/null 2>&1 </dev/null &
started+=($!)

cd "$QB_BUILD"
ctest --output-on-failure --no-tests=error "$@"
