#!/usr/bin/env bash
# Times what the skin engine costs, each as a ratio with the skin and without it in one run:
# the start-up to the wizard's first page, 1000 repaints of the wizard (frame and client),
# 100 000 messages sent to a skinned and to an unskinned window, and 100 repaints of the
# control gallery (every control kind at once, from the tests' gallery) with the skin and without; also
# the GDI objects of the process before and after 100 skin load/unload cycles with the gallery
# open.
# Usage: bash scripts/skinbenchmark.sh [runs]   (wizard runs per side, alternated; 5 by default)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

runs=${1:-5}
arch=$(qb_runnable_arch)
"$QB_ROOT/scripts/build.sh" "$arch" >/dev/null
qb_use_arch "$arch"

# The wizard needs a display: a private one, as the tests use.
qb_start_session
plain_dir=$(mktemp -d)
trap 'qb_end_session; rm -rf "$plain_dir"' EXIT

program="$QB_BUILD/bin/QuilbrookSkinBenchmark.exe"
# The program loads .\skin.skin: from the build's folder it finds it, from an empty one not.
wizard_run() { (cd "$1" && "$WINELOADER" "$program" wizard | tr -d '\r'); }
"$WINELOADER" "$program" wizard >/dev/null 2>&1 || true  # warm the caches once
skinned=(); plain=()
for _ in $(seq "$runs"); do
  skinned+=("$(wizard_run "$QB_BUILD/bin")")
  plain+=("$(wizard_run "$plain_dir")")
done
median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
field() { awk -v key="$1" '{for (i = 1; i < NF; i++) if ($i == key) print $(i+1)}'; }
skin_loaded=$(printf '%s\n' "${skinned[@]}" | field skin | sort -u)
[ "$skin_loaded" = 1 ] || { echo "The skin did not load in the skinned runs." >&2; exit 1; }
start_skin=$(printf '%s\n' "${skinned[@]}" | field firstpage | median)
start_plain=$(printf '%s\n' "${plain[@]}" | field firstpage | median)
paint_skin=$(printf '%s\n' "${skinned[@]}" | field repaint | median)
paint_plain=$(printf '%s\n' "${plain[@]}" | field repaint | median)
messages=$("$WINELOADER" "$program" messages "$(echo "Z:$QB_BUILD/bin/skin.skin" | tr / '\\')" | tr -d '\r')
count=$(field messages <<<"$messages")
msg_skin=$(field skinned <<<"$messages")
msg_plain=$(field plain <<<"$messages")
gallery=$("$WINELOADER" "$QB_BUILD/bin/gallerybenchmark.exe" | tr -d '\r')
gallery_count=$(field repaints <<<"$gallery")
gallery_skin=$(field skinned <<<"$gallery")
gallery_plain=$(field plain <<<"$gallery")
gdi_line=$(grep -o 'GDI objects.*' <<<"$gallery")

printf 'start to the first wizard page (median of %d runs each, alternated): with the skin %.3f s  without %.3f s  ratio %.3f (goal at most 1.3)\n' \
  "$runs" "$start_skin" "$start_plain" "$(qb_calc "$start_skin / $start_plain")"
printf '1000 repaints of the wizard (frame and client): with the skin %.3f s  without %.3f s  ratio %.3f (goal at most 1.5)\n' \
  "$paint_skin" "$paint_plain" "$(qb_calc "$paint_skin / $paint_plain")"
printf '%d messages (best of 5 rounds): skinned window %.3f s  unskinned %.3f s  ratio %.3f (goal at most 1.5)\n' \
  "$count" "$msg_skin" "$msg_plain" "$(qb_calc "$msg_skin / $msg_plain")"
printf '%d repaints of the control gallery (best of 3 rounds): with the skin %.3f s  without %.3f s  ratio %.3f (goal at most 1.5)\n' \
  "$gallery_count" "$gallery_skin" "$gallery_plain" "$(qb_calc "$gallery_skin / $gallery_plain")"
echo "control gallery: $gdi_line (goal: no change)"
