#!/usr/bin/env bash
# Builds Quilbrook (and its tests) for ARCH (default: what this machine can run) in build/ARCH.
# Installs what is missing first.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$QB_ROOT/scripts/install-deps.sh"
arch=${1:-$(qb_runnable_arch)}
tests=${2:-ON}
qb_use_arch "$arch"

# libpng's source, from Debian's source package, once.
deps="$QB_ROOT/build/deps"
png_source=$(ls -d "$deps"/libpng1.6-*/ 2>/dev/null | head -n 1 || true)
if [ -z "$png_source" ]; then
  mkdir -p "$deps"
  (cd "$deps" && apt-get source -qq libpng1.6 >libpng-source.log 2>&1) \
    || { cat "$deps/libpng-source.log" >&2; exit 1; }
  png_source=$(ls -d "$deps"/libpng1.6-*/ | head -n 1)
fi

# Configured again whenever the options differ from those of the last configuration, so that
# a call with tests off after one with tests on (or the reverse) is not ignored.
options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/toolchain-$arch.cmake"
         -DQUILBROOK_LIBPNG_SOURCE="${png_source%/}" -DQUILBROOK_TESTS="$tests")
configured="$QB_BUILD/quilbrook-options.txt"
if [ ! -f "$QB_BUILD/CMakeCache.txt" ] || [ "$(cat "$configured" 2>/dev/null)" != "${options[*]}" ]; then
  mkdir -p "$QB_BUILD"
  cmake -S "$QB_ROOT" -B "$QB_BUILD" "${options[@]}" >"$QB_BUILD.configure.log" 2>&1 \
    || { cat "$QB_BUILD.configure.log" >&2; exit 1; }
  echo "${options[*]}" >"$configured"
fi
cmake --build "$QB_BUILD" -j "$(qb_nproc)" -- --no-print-directory
