#!/usr/bin/env bash
# Times the batch's picture work three ways on one folder of photographs:
# Quilbrook's batch steps, a bare loop of the same GDI+ calls, and ImageMagick's convert;
# then the wizard with lists of 1 000 and 10 000 pictures: leaving step 1 and starting the batch.
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

# The wizard needs a display: a private one, as the tests use.
qb_start_session

windows_path() { echo "Z:${1//\//\\}"; }
status=0
result=$("$WINELOADER" "$QB_BUILD/bin/QuilbrookBenchmark.exe" pictures "$(windows_path "$pictures")" \
         "$(windows_path "$work")" "$percent" "$quality" | tr -d '\r') || status=$?
count=$(awk '/^pictures/ {print $2}' <<<"$result")
rounds=$(awk '/^rounds/ {print $2}' <<<"$result")
failed=$(awk '/^failed/ {print $2}' <<<"$result")
# A picture that Quilbrook's step refused took no time: the times of such a run mean nothing.
if [ "$status" -ne 0 ] || [ "${failed:-0}" -ne 0 ] || [ -z "$count" ]; then
  printf "pictures: %s of %s\nQuilbrook's step failed %s times in %s rounds and a warm-up, so the run gives no ratio:\n" \
    "${count:-?}" "$pictures" "${failed:-?}" "${rounds:-?}" >&2
  grep '^failure' <<<"$result" | sed 's/^failure /  /' | head -n 10 >&2 || true
  [ "${failed:-0}" -gt 10 ] && printf '  and %d more.\n' "$((failed - 10))" >&2
  exit 1
fi
quilbrook=$(awk '/^quilbrook/ {print $2}' <<<"$result")
bare=$(awk '/^bare/ {print $2}' <<<"$result")
ratio=$(awk '/^ratio/ {print $2}' <<<"$result")
lists=$("$WINELOADER" "$QB_BUILD/bin/QuilbrookBenchmark.exe" list "$(windows_path "$work")" 1000 10000 | tr -d '\r')

# ImageMagick with the same size and quality (Catrom is its bicubic filter).
start=$(date +%s.%N)
for picture in "$pictures"/*.jpg; do
  convert "$picture" -filter Catrom -resize "$percent%" -quality "$quality" "$work/magick-$(basename "$picture")"
done
end=$(date +%s.%N)
magick=$(qb_calc "($end - $start) / $count")

printf 'pictures: %d of %s, resized to %d%%, quality %d\n' "$count" "$pictures" "$percent" "$quality"
printf 'seconds per picture (median of %d rounds, quilbrook and bare alternated): quilbrook %.3f  bare GDI+ %.3f  ImageMagick %.3f\n' \
  "$rounds" "$quilbrook" "$bare" "$magick"
printf 'ratios: quilbrook / bare GDI+ %.3f (goal at most 1.05)  quilbrook / ImageMagick %.3f\n' \
  "$ratio" "$(qb_calc "$quilbrook / $magick")"
while read -r _ n _ leave _ start; do
  printf 'list of %d pictures: leaving step 1 %.3f s  starting the batch %.3f s (goal under 1 s each)\n' "$n" "$leave" "$start"
done < <(grep '^list' <<<"$lists")
read -r _ n _ leave < <(grep '^profile' <<<"$lists")
printf 'for comparison, %d pictures written one profile call after another: %.3f s\n' "$n" "$leave"
