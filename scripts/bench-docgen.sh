#!/usr/bin/env bash
# Benchmarks the documentation build: folios doc against doxygen on the same
# real C files (from linux-source-6.1) with equivalent generated comments,
# then how folios grows with the number of topics and with text length, and
# what an order list of many tags costs forward and in reverse.
#
# usage: scripts/bench-docgen.sh [MEGABYTES]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes=${1:-20}
root=$PWD
work=${BENCH_DIR:-/tmp/folios-bench-docgen}
build=$root/build-bench-docgen

# The peer, the corpus and the measuring tools come from Debian.
need=()
for p in doxygen linux-source-6.1 python3 time libbenchmark-dev cmake g++; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if ((${#need[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_TESTS=OFF \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target folios docgen_bench -j2 > "$build/build.log" 2>&1 ||
  { tail -30 "$build/build.log"; exit 1; }
folios=$build/bin/folios

mkdir -p "$work"
src=$work/linux
if [ ! -d "$src/linux-source-6.1/fs" ]; then
  mkdir -p "$src"
  tar -xJf /usr/src/linux-source-6.1.tar.xz -C "$src" linux-source-6.1/fs linux-source-6.1/net
fi
corpus() {  # corpus DIR MEGABYTES [TEXT_REPEAT]
  [ -d "$1/folios" ] || python3 bench/docgen/make_corpus.py "$src/linux-source-6.1" "$1" "$2" "${3:-1}" > "$1.info"
  cat "$1.info"
}
# wall seconds, peak memory (KB) and CPU seconds (user + system) of one command
measure() { /usr/bin/time -f "%e %M %U %S" "$@" 2>&1 >/dev/null | tail -1 | awk '{print $1, $2, $3 + $4}'; }

echo "== corpus"
corpus "$work/c$megabytes" "$megabytes"
bytes=$(du -sb "$work/c$megabytes/folios" | cut -f1)

echo "== folios doc (best of 3) against doxygen (one run), RTF from the same files"
best=
for i in 1 2 3; do
  read -r t m c < <(measure "$folios" doc -o "$work/out.rtf" "$work/c$megabytes/folios/*.c")
  if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; mem=$m; cpu=$c; fi
done
cat > "$work/Doxyfile" <<DOX
INPUT = $work/c$megabytes/peer
FILE_PATTERNS = *.c
OUTPUT_DIRECTORY = $work/doxygen
GENERATE_HTML = NO
GENERATE_LATEX = NO
GENERATE_RTF = YES
EXTRACT_STATIC = YES
ENABLE_PREPROCESSING = NO
QUIET = YES
WARNINGS = NO
HAVE_DOT = NO
DOX
rm -rf "$work/doxygen"
read -r dt dm dc < <(measure doxygen "$work/Doxyfile")
awk -v b="$bytes" -v t="$best" -v m="$mem" -v c="$cpu" -v dt="$dt" -v dm="$dm" -v dc="$dc" 'BEGIN {
  t = (t < 0.01 ? 0.01 : t); c = (c < 0.01 ? 0.01 : c)
  printf "folios  %6.2f s wall %6.2f s CPU  %7.1f MB/s  %7d KB peak\n", t, c, b / t / 1e6, m
  printf "doxygen %6.2f s wall %6.2f s CPU  %7.1f MB/s  %7d KB peak\n", dt, dc, b / dt / 1e6, dm
  printf "throughput ratio folios/doxygen: %.1fx wall, %.1fx CPU (target 10x)\n", dt / t, dc / c }'

echo "== the same files as one HTML page (folios doc -rhtml), best of 3"
best=
for i in 1 2 3; do
  read -r t m c < <(measure "$folios" doc -rhtml -o "$work/out.html" "$work/c$megabytes/folios/*.c")
  if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; mem=$m; cpu=$c; fi
done
awk -v t="$best" -v m="$mem" -v c="$cpu" -v dc="$dc" 'BEGIN { c = (c < 0.01 ? 0.01 : c)
  printf "folios html %6.2f s wall %6.2f s CPU  %7d KB peak  (%.1fx doxygen RTF CPU)\n", t, c, m, dc / c }'

echo "== growth with the number of topics (time, peak memory)"
for mb in $((megabytes / 4)) $((megabytes / 2)) $megabytes; do
  info=$(corpus "$work/c$mb" "$mb")
  read -r t m c < <(measure "$folios" doc -o "$work/out.rtf" "$work/c$mb/folios/*.c")
  echo "$info: $t s wall, $c s CPU, $m KB"
done
echo "== memory against text length (same topics, descriptions 8 times longer)"
half=$((megabytes / 2))
info=$(corpus "$work/c${half}x8" "$half" 8)
read -r t m c < <(measure "$folios" doc -o "$work/out.rtf" "$work/c${half}x8/folios/*.c")
echo "$info: $t s wall, $c s CPU, $m KB (compare with the $half MB line above)"

echo "== Google Benchmark: generated topics, complexity fit"
"$build/bin/docgen_bench" --benchmark_min_time=0.2
