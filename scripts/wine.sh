#!/usr/bin/env bash
# Runs a Windows program of the ARCH build under the project's Wine environment.
# Usage: wine.sh --arch ARCH program.exe [arguments]   (CTest's cross-compiling emulator)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
[ "${1:-}" = --arch ] || { echo "usage: wine.sh --arch ARCH program [arguments]" >&2; exit 2; }
qb_use_arch "$2"
shift 2
exec "$WINELOADER" "$@"
