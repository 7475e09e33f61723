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

# A private session on a screen of the given depth, with Wine's desktop held open.
start_screen() {
  qb_start_session "1280x1024x$1"
  "$WINELOADER" "$QB_BUILD/bin/holddesktop.exe" >/dev/null 2>&1 </dev/null &
  qb_session_process $!
}

cd "$QB_BUILD"
start_screen 24
status=0
ctest --output-on-failure --no-tests=error "$@" || status=$?
qb_end_session

# The toolkit's low-colour branches (the colour manager's short recompute, solid gradient
# fills) run only on a screen of 8 bits per pixel: its tests run there a second time.
# grep reads the whole list: stopping at the first match could end ctest with SIGPIPE, and
# under pipefail that would skip this run.
if ctest -N "$@" | grep ' toolkit_tests$' >/dev/null; then
  echo "The toolkit's tests again, on an 8-bit screen:"
  start_screen 8
  ctest --output-on-failure --no-tests=error -R '^toolkit_tests$' || status=$?
  qb_end_session
fi
exit "$status"
