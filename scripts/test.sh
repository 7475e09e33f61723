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
stop_screen() {
  qb_stop_wineserver
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  started=()
}
trap stop_screen EXIT

# A private X display of the given depth (Xvfb picks a free number and writes it when ready),
# with the prefix's wineserver and Wine's desktop on it.
start_screen() {
  qb_start_xvfb "1280x1024x$1" || { kill "$QB_XVFB_PID" 2>/dev/null; exit 1; }
  started+=("$QB_XVFB_PID")

  qb_start_wineserver
  qb_prepare_prefix
  "$WINELOADER" "$QB_BUILD/bin/holddesktop.exe" >/dev/null 2>&1 </dev/null &
  started+=($!)
}

cd "$QB_BUILD"
start_screen 24
status=0
ctest --output-on-failure --no-tests=error "$@" || status=$?
stop_screen

# The toolkit's low-colour branches (the colour manager's short recompute, solid gradient
# fills) run only on a screen of 8 bits per pixel: its tests run there a second time.
if ctest -N "$@" | grep -q ' toolkit_tests$'; then
  echo "The toolkit's tests again, on an 8-bit screen:"
  start_screen 8
  ctest --output-on-failure --no-tests=error -R '^toolkit_tests$' || status=$?
  stop_screen
fi
exit "$status"
