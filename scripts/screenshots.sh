#!/usr/bin/env bash
# Takes screenshots of Quilbrook's skinned windows under Wine on a private Xvfb display:
# the wizard's pages, a message box, the system's open-file dialog and the progress dialog
# of a batch. They go to build/screenshots/ (or the folder given) as PNG files.
# Usage: bash scripts/screenshots.sh [output folder]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

out=$(realpath -m "${1:-$QB_ROOT/build/screenshots}")
mkdir -p "$out"

"$QB_ROOT/scripts/install-deps.sh" >/dev/null
arch=$(qb_runnable_arch)
"$QB_ROOT/scripts/build.sh" "$arch" >/dev/null
cmake --build "$QB_ROOT/build/$arch" --target uidriver >/dev/null
qb_use_arch "$arch"

qb_start_session 1024x768x24

# Pictures big enough that the batch shows its progress dialog for a while.
pictures="$QB_ROOT/build/screenshots-pictures"
mkdir -p "$pictures"
for n in 1 2 3 4 5 6; do
  [ -f "$pictures/photo$n.jpg" ] || convert -size 6000x4000 "plasma:" "$pictures/photo$n.jpg"
done
windows_path() { echo "Z:${1//\//\\}"; }

drive() { "$WINELOADER" "$QB_BUILD/bin/uidriver.exe" "$@" </dev/null; }
# Painting settles a moment after a window appears.
shot() { sleep 1; import -window root "$out/$1.png"; echo "$out/$1.png"; }

cd "$QB_BUILD/bin"
"$WINELOADER" Quilbrook.exe >/dev/null 2>&1 </dev/null &
qb_session_process $!

drive wait "Step 1 of 3, Select Files"
shot wizard

# Next with no pictures: a message box.
drive click "Step 1 of 3, Select Files" "Next >"
drive wait "Quilbrook"
shot messagebox
drive click "Quilbrook" "OK"

# The system's open-file dialog, then the pictures chosen through it (0x47C: file name).
drive click "Step 1 of 3, Select Files" "Add File"
drive wait "Open"
shot openfile
names=""
for n in 1 2 3 4 5 6; do names="$names \"photo$n.jpg\""; done
drive settext "Open" 1148 "$(windows_path "$pictures")\\"
drive click "Open" "Open"
drive settext "Open" 1148 "${names# }"
drive click "Open" "Open"
drive gone "Open" wait "Step 1 of 3, Select Files"
shot files

# Through the steps to Finish: the progress dialog of the batch.
drive click "Step 1 of 3, Select Files" "Next >"
drive wait "Step 2 of 3, Resize Options"
shot resize
drive click "Step 2 of 3, Resize Options" "Next >"
drive wait "Step 3 of 3, Compress Options"
shot compress
drive click "Step 3 of 3, Compress Options" "Next >"
drive wait "Final step"
shot output
drive click "Final step" "Finish"
drive wait "File 1 of"
shot progress
