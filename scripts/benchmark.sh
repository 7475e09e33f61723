#!/usr/bin/env bash
# Times the batch's picture work three ways on one folder of photographs:
# Quilbrook's batch steps, a bare loop of the same GDI+ calls, and ImageMagick's convert.
# Usage: bash scripts/benchmark.sh [picture folder] [percent] [quality]
# Without a folder (or with one holding no .jpg), 20 photographs of 8 megapixels are made first.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

pictures=$(realpath -m "${1:-$QB_ROOT/build/benchmark/pictures}")
percent=${2:-50}
quality=${3:-75}
work="$QB_ROOT/build/benchmark/work"
mkdir -p "$pictures" "$work"

arch=$(qb_runnable_arch)
"$QB_ROOT/scripts/build.sh" "$arch" >/dev/null
qb_use_arch "$arch"
qb_start_wineserver
trap qb_stop_wineserver EXIT
qb_prepare_prefix

windows_path() { echo "Z:${1//\//\\}"; }
result=$("$WINELOADER" "$QB_BUILD/bin/QuilbrookBenchmark.exe" "$(windows_path "$pictures")" \
         "$(windows_path "$work")" "$percent" "$quality" | tr -d '\r')
count=$(awk '/^pictures/ {print $2}' <<<"$result")
quilbrook=$(awk '/^quilbrook/ {print $2}' <<<"$result")
bare=$(awk '/^bare/ {print $2}' <<<"$result")

# ImageMagick with the same size and quality (Catrom is its bicubic filter).
start=$(date +%s.%N)
for picture in "$pictures"/*.jpg; do
  convert "$picture" -filter Catrom -resize "$percent%" -quality "$quality" "$work/magick-$(basename "$picture")"
done
end=$(date +%s.%N)
# Floating-point arithmetic through awk: bc is not part of a minimal system.
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
magick=$(calc "($end - $start) / $count")

printf 'pictures: %d of %s, resized to %d%%, quality %d\n' "$count" "$pictures" "$percent" "$quality"
printf 'seconds per picture: quilbrook %.3f  bare GDI+ %.3f  ImageMagick %.3f\n' "$quilbrook" "$bare" "$magick"
printf 'ratios: quilbrook / bare GDI+ %.3f  quilbrook / ImageMagick %.3f\n' \
  "$(calc "$quilbrook / $bare")" "$(calc "$quilbrook / $magick")"
