# Shared settings of the build, run and test scripts. Source it; do not run it.

QB_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The program is 32-bit. Some kernels run 64-bit user code only (32-bit execve fails with
# ENOEXEC, and Wine's WoW64 cannot switch to 32-bit code either); there the same sources are
# built for x86_64 and run under 64-bit Wine. QUILBROOK_ARCH overrides the choice.
qb_runnable_arch() {
  if [ -n "${QUILBROOK_ARCH:-}" ]; then
    echo "$QUILBROOK_ARCH"
  elif /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}

# Sets the build folder and a private Wine environment for ARCH.
qb_use_arch() {
  QB_ARCH=$1
  QB_BUILD="$QB_ROOT/build/$QB_ARCH"
  export WINEPREFIX="$QB_BUILD/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$QB_ARCH" = i686 ]; then
    export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
  else
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  fi
  # Debian's wineserver wrapper forces persistence 0; use the server itself.
  if [ -x /usr/lib/wine/wineserver64 ]; then
    export WINESERVER=/usr/lib/wine/wineserver64
  else
    export WINESERVER=/usr/lib/wine/wineserver32
  fi
}

qb_nproc() { nproc 2>/dev/null || echo 2; }

# Creates the private Wine prefix once: silently, with the settings the tests rely on, and
# applies the settings again whenever scripts/wine-settings.reg changed since they were last
# applied. Needs a running persistent wineserver (qb_start_wineserver).
qb_prepare_prefix() {
  local ready="$WINEPREFIX/.quilbrook-ready"
  local settings="$QB_ROOT/scripts/wine-settings.reg"
  local applied
  applied=$(sha1sum <"$settings")
  [ -f "$ready" ] && [ "$(cat "$ready")" = "$applied" ] && return 0
  mkdir -p "$QB_BUILD"
  if [ ! -f "$ready" ]; then
    # The services of the first Wine process inherit its output and outlive it: keep them
    # away from the caller's pipes.
    "$WINELOADER" wineboot -i >"$QB_BUILD/wineboot.log" 2>&1 </dev/null
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  "$WINELOADER" regedit /S "Z:${settings//\//\\}" >>"$QB_BUILD/wineboot.log" 2>&1 </dev/null
  echo "$applied" >"$ready"
}

# A persistent wineserver for this prefix, so that each program does not cold-start one.
qb_start_wineserver() {
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -p
}

qb_stop_wineserver() {
  "$WINESERVER" -k 2>/dev/null || true
}

# A private X display (screen WIDTHxHEIGHTxDEPTH, default 1280x1024x24): Xvfb picks a free
# number and writes it when ready. Exports DISPLAY and
# leaves the server's process id in QB_XVFB_PID for the caller to end.
qb_start_xvfb() {
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  QB_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  if [ ! -s "$display_file" ]; then
    rm -f "$display_file"
    echo "Xvfb did not start." >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$display_file")"
  rm -f "$display_file"
}

# A private Wine session for a script: an Xvfb display of the given screen (default
# 1280x1024x24), the prefix's persistent wineserver and the prefix made ready. Everything it
# starts, and every process given to qb_session_process, ends with qb_end_session, which is the
# EXIT trap (a script with more to clean calls it from its own trap).
QB_SESSION_PIDS=()
qb_session_process() { QB_SESSION_PIDS+=("$1"); }
qb_end_session() {
  qb_stop_wineserver
  for pid in "${QB_SESSION_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  QB_SESSION_PIDS=()
}
qb_start_session() {
  trap qb_end_session EXIT
  if ! qb_start_xvfb "${1:-1280x1024x24}"; then
    kill "$QB_XVFB_PID" 2>/dev/null
    exit 1
  fi
  qb_session_process "$QB_XVFB_PID"
  qb_start_wineserver
  qb_prepare_prefix
}

# Floating-point arithmetic through awk (bc is not part of a minimal system): qb_calc "1 / 3".
qb_calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
