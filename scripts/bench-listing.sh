#!/usr/bin/env bash
# Measures `folios listing` against other source-to-RTF converters and a plain
# line-by-line copy, and its web page against highlight's HTML output, on the
# same real C sources, all in one run:
#   bash scripts/bench-listing.sh [MEGABYTES]   (default 24)
# Each program converts every file in one process; the best of three runs
# counts. Peak memory is measured on the whole set and on one 100 MB file.
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes=${1:-24}

# The peers and the sources they are measured on, with the build needs.
bash scripts/install-deps.sh highlight enscript linux-source-6.1 time xz-utils bc

build=build-bench-listing
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_TESTS=OFF \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target folios getline_copy listing_bench -j2 > /dev/null

work=$(mktemp -d /tmp/folios-bench-listing.XXXXXX)
trap 'rm -rf "$work"' EXIT
# The extracted sources are kept in the build directory for later runs.
sources=$build/kernel-sources
if [[ ! -d $sources/linux-source-6.1/kernel ]]; then
  echo "Extracting kernel sources..."
  rm -rf "$sources" && mkdir -p "$sources"
  tar -xJf /usr/src/linux-source-6.1.tar.xz -C "$sources" linux-source-6.1/fs linux-source-6.1/kernel
fi
# The first C files in name order up to the wanted size.
limit=$((megabytes * 1000000))
find "$sources/linux-source-6.1" -name '*.c' -type f -printf '%p\t%s\n' | LC_ALL=C sort > "$work/all"
awk -F'\t' -v limit="$limit" '{ if (total >= limit) exit; total += $2; print $1 }' "$work/all" > "$work/files"
mapfile -t files < "$work/files"
bytes=$(cat "${files[@]}" | wc -c)
echo "Input: ${#files[@]} C files, $bytes bytes"

export FOLIOS_CONFIG_DIR="$work/config" FOLIOS_DATA_DIR="$work/data"
folios=$build/bin/folios
out="$work/out"
mkdir -p "$out/hl" "$out/hl-html" "$out/hl-html-numbers"

# The machine is shared, so wall time says more about the neighbours than
# about the program: programs are compared by processor time (user + system),
# the best of three runs; the wall time of that run is shown beside it.
declare -A cpu wall
measure() {
  local name=$1
  shift
  local best_cpu="" best_wall=""
  for _ in 1 2 3; do
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" > /dev/null 2>&1
    read -r w u s < "$work/time"
    local c
    c=$(echo "$u + $s" | bc -l)
    if [[ -z $best_cpu ]] || (($(echo "$c < $best_cpu" | bc -l))); then best_cpu=$c best_wall=$w; fi
  done
  cpu[$name]=$best_cpu
  wall[$name]=$best_wall
}

measure getline "$build/bin/getline_copy" "$out/copy.txt" "${files[@]}"
measure folios "$folios" listing --set m_use_advanced_options=0 -o "$out/listing.rtf" "${files[@]}"
measure folios_numbers "$folios" listing --set m_use_advanced_options=0 --set m_uselinenumbers=0 \
  -o "$out/numbers.rtf" "${files[@]}"
measure enscript enscript --language=rtf -Ec --color -q -o "$out/enscript.rtf" "${files[@]}"
measure highlight highlight -O rtf --syntax=c -q -d "$out/hl" "${files[@]}"
# The web page: one self-contained page for all files; highlight writes one
# self-contained page (its style included) per file.
measure folios_html "$folios" listing --format=html --set m_use_advanced_options=0 \
  -o "$out/listing.html" "${files[@]}"
measure folios_html_numbers "$folios" listing --format=html --set m_use_advanced_options=0 \
  --set m_uselinenumbers=0 -o "$out/numbers.html" "${files[@]}"
measure highlight_html highlight -O html --include-style --syntax=c -q -d "$out/hl-html" "${files[@]}"
measure highlight_html_numbers highlight -O html --include-style --line-numbers --anchors --syntax=c \
  -q -d "$out/hl-html-numbers" "${files[@]}"

rate() { echo "scale=1; $bytes / ${cpu[$1]} / 1000000" | bc -l; }
printf '\n%-20s %12s %12s %14s\n' "program" "cpu seconds" "wall seconds" "MB per cpu s"
for name in getline folios folios_numbers enscript highlight folios_html folios_html_numbers \
            highlight_html highlight_html_numbers; do
  printf '%-20s %12.3f %12.3f %14s\n' "$name" "${cpu[$name]}" "${wall[$name]}" "$(rate "$name")"
done
echo
for mode in folios folios_numbers; do
  echo "$mode: $(echo "scale=1; ${cpu[highlight]} / ${cpu[$mode]}" | bc -l)x highlight," \
       "$(echo "scale=1; ${cpu[enscript]} / ${cpu[$mode]}" | bc -l)x enscript," \
       "$(echo "scale=2; ${cpu[getline]} / ${cpu[$mode]}" | bc -l) of the getline copy"
done
echo "folios_html: $(echo "scale=1; ${cpu[highlight_html]} / ${cpu[folios_html]}" | bc -l)x highlight's HTML," \
     "$(echo "scale=2; ${cpu[folios]} / ${cpu[folios_html]}" | bc -l) of the RTF listing's speed"
echo "folios_html_numbers: $(echo "scale=1; ${cpu[highlight_html_numbers]} / ${cpu[folios_html_numbers]}" | bc -l)x" \
     "highlight's HTML with numbered, linked lines," \
     "$(echo "scale=2; ${cpu[folios_numbers]} / ${cpu[folios_html_numbers]}" | bc -l) of the RTF listing's speed"

echo
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident/ { print $2 }'; }
echo "Peak memory, whole set: $(peak "$folios" listing --set m_use_advanced_options=0 -o "$out/m.rtf" "${files[@]}") KB"
big="$work/big.c"
while (($(stat -c %s "$big" 2>/dev/null || echo 0) < 100000000)); do cat "${files[@]}" >> "$big"; done
echo "Peak memory, one file of $(stat -c %s "$big") bytes:" \
     "$(peak "$folios" listing --set m_use_advanced_options=0 --set m_uselinenumbers=0 -o "$out/big.rtf" "$big") KB"
echo "Peak memory, the same as a web page:" \
     "$(peak "$folios" listing --format=html --set m_use_advanced_options=0 --set m_uselinenumbers=0 -o "$out/big.html" "$big") KB"
echo "Peak memory, getline copy of it: $(peak "$build/bin/getline_copy" "$out/big.txt" "$big") KB"

# One line of 50 MB, cut with the default layout: real C pieces with
# strings, character literals and comments, so that every rule of the cut
# is exercised. It must take under 2 s of processor time.
long="$work/one-line.c"
python3 - "$long" <<'PY'
import sys
piece = 'if (rb->count == CAP) { pr_info("ring // %d /* full */", id); c = \'"\'; } /* wrap */ '
with open(sys.argv[1], "w") as out:
    out.write(piece * (50_000_000 // len(piece)) + "\n")
PY
measure one_line "$folios" listing --set m_use_advanced_options=0 -o - "$long"
measure one_line_plain "$folios" listing --set m_use_advanced_options=0 --set m_linebreaks=0 \
  -o - "$long"
measure one_line_html "$folios" listing --format=html --set m_use_advanced_options=0 -o - "$long"
echo
echo "One line of $(stat -c %s "$long") bytes, cut: ${cpu[one_line]} cpu s" \
     "(${wall[one_line]} s wall); not cut: ${cpu[one_line_plain]} cpu s;" \
     "cut, as a web page: ${cpu[one_line_html]} cpu s"
for run in one_line one_line_html; do
  if (($(echo "${cpu[$run]} < 2" | bc -l))); then
    echo "$run: under 2 s"
  else
    echo "$run: OVER 2 s"
  fi
done

echo
"$build/bin/listing_bench" --benchmark_min_time=0.5 2>/dev/null | grep -E "^BM_|^Benchmark"
