#!/usr/bin/env bash
# Measures `folios listing` against other source-to-RTF converters and a plain
# line-by-line copy, on the same real C sources, all in one run:
#   bash scripts/bench-listing.sh [MEGABYTES]   (default 24)
# Each program converts every file in one process; the best of three runs
# counts. Peak memory is measured on the whole set and on one 100 MB file.
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes=${1:-24}

need=(highlight enscript linux-source-6.1 time xz-utils bc)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
bash scripts/install-deps.sh

build=build-bench-listing
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_TESTS=OFF \
  > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target folios getline_copy listing_bench -j2 > /dev/null

work=$(mktemp -d /tmp/folios-bench-listing.XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "Extracting kernel sources..."
tar -xJf /usr/src/linux-source-6.1.tar.xz -C "$work" linux-source-6.1/fs linux-source-6.1/kernel
# The first C files in name order up to the wanted size.
limit=$((megabytes * 1000000))
find "$work/linux-source-6.1" -name '*.c' -type f -printf '%p\t%s\n' | LC_ALL=C sort |
  awk -F'\t' -v limit="$limit" '{ if (total >= limit) exit; total += $2; print $1 }' > "$work/files"
mapfile -t files < "$work/files"
bytes=$(cat "${files[@]}" | wc -c)
echo "Input: ${#files[@]} C files, $bytes bytes"

export FOLIOS_CONFIG_DIR="$work/config" FOLIOS_DATA_DIR="$work/data"
folios=$build/bin/folios
out="$work/out"
mkdir -p "$out/hl"

# Best wall time of three runs of "$@", in seconds.
best() {
  local best_time=""
  for _ in 1 2 3; do
    local start end t
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [[ -z $best_time ]] || (($(echo "$t < $best_time" | bc -l))); then best_time=$t; fi
  done
  echo "$best_time"
}

declare -A seconds
seconds[getline]=$(best "$build/bin/getline_copy" "$out/copy.txt" "${files[@]}")
seconds[folios]=$(best "$folios" listing --set m_use_advanced_options=0 -o "$out/listing.rtf" "${files[@]}")
seconds[folios_numbers]=$(best "$folios" listing --set m_use_advanced_options=0 --set m_uselinenumbers=0 \
  -o "$out/numbers.rtf" "${files[@]}")
seconds[enscript]=$(best enscript --language=rtf -Ec --color -q -o "$out/enscript.rtf" "${files[@]}")
seconds[highlight]=$(best highlight -O rtf --syntax=c -q -d "$out/hl" "${files[@]}")

rate() { echo "scale=1; $bytes / ${seconds[$1]} / 1000000" | bc -l; }
ratio() { echo "scale=2; ${seconds[$2]} / ${seconds[$1]}" | bc -l; }
printf '\n%-34s %10s %10s\n' "program" "seconds" "MB/s"
for name in getline folios folios_numbers enscript highlight; do
  printf '%-34s %10.3f %10s\n' "$name" "${seconds[$name]}" "$(rate "$name")"
done
echo
for mode in folios folios_numbers; do
  echo "$mode: $(ratio "$mode" highlight)x highlight, $(ratio "$mode" enscript)x enscript," \
       "$(echo "scale=2; ${seconds[getline]} / ${seconds[$mode]}" | bc -l) of the getline copy"
done

echo
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident/ { print $2 }'; }
echo "Peak memory, whole set: $(peak "$folios" listing --set m_use_advanced_options=0 -o "$out/m.rtf" "${files[@]}") KB"
big="$work/big.c"
while (($(stat -c %s "$big" 2>/dev/null || echo 0) < 100000000)); do cat "${files[@]}" >> "$big"; done
echo "Peak memory, one file of $(stat -c %s "$big") bytes:" \
     "$(peak "$folios" listing --set m_use_advanced_options=0 --set m_uselinenumbers=0 -o "$out/big.rtf" "$big") KB"
echo "Peak memory, getline copy of it: $(peak "$build/bin/getline_copy" "$out/big.txt" "$big") KB"

echo
"$build/bin/listing_bench" --benchmark_min_time=0.5 2>/dev/null | grep -E "^BM_|^Benchmark"
