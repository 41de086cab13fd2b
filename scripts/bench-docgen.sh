#!/usr/bin/env bash
# Benchmarks the documentation build: folios doc against doxygen on the same
# real C files (from linux-source-6.1) with equivalent generated comments,
# and against folios doc of an earlier commit ("before"); then how folios
# grows with the number of topics and with text length, and what an order
# list of many tags costs forward and in reverse.
#
# usage: scripts/bench-docgen.sh [MEGABYTES]   (default 20)
# BEFORE=COMMIT names the earlier commit (default abe84ec); BEFORE_BIN=PATH
# takes a folios program already built instead.
#
# Every build is measured three times; folios repeats its build until it
# has taken at least half a second of processor time (doxygen takes longer
# than that once), so that the figures hold still. The spread of the three
# is printed beside the best.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-common.sh
megabytes=${1:-20}
before=${BEFORE:-abe84ec}
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

print_load

mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_TESTS=OFF \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target folios docgen_bench -j2 > "$build/build.log" 2>&1 ||
  { tail -30 "$build/build.log"; exit 1; }
folios=$build/bin/folios

# The earlier program, built once from its commit and kept.
old=$(before_program "$build" "$before")

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
# cpu_of COUNT COMMAND...: processor seconds (user + system), wall seconds
# and peak memory (KB) of COUNT runs.
cpu_of() {
  local count=$1
  shift
  /usr/bin/time -f "%e %M %U %S" -o "$work/time" \
    bash -c 'n=$1; shift; for ((k = 0; k < n; k++)); do "$@" > /dev/null 2>&1; done' _ "$count" "$@"
  awk '{ printf "%.3f %.3f %d\n", $3 + $4, $1, $2 }' "$work/time"
}
declare -A cpu wall mem spread
# measure NAME REPS COMMAND...: three measurements of REPS runs each; the
# best per run counts, and the spread (highest over lowest, less one).
measure() {
  local name=$1 reps=$2
  shift 2
  local all=() c w m
  for _ in 1 2 3; do
    read -r c w m < <(cpu_of "$reps" "$@")
    all+=("$c $w $m")
  done
  read -r cpu[$name] wall[$name] mem[$name] spread[$name] < <(printf '%s\n' "${all[@]}" | sort -n | awk -v n="$reps" '
    NR == 1 { lo = $1; w = $2; m = $3 } { hi = $1 }
    END { printf "%.4f %.4f %d %.1f\n", lo / n, w / n, m, (lo > 0 ? (hi / lo - 1) * 100 : 0) }')
}

echo "== corpus"
corpus "$work/c$megabytes" "$megabytes"
bytes=$(du -sb "$work/c$megabytes/folios" | cut -f1)
sources="$work/c$megabytes/folios/*.c"

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
# The number of runs that makes folios take half a second.
read -r c _ < <(cpu_of 1 "$folios" doc -o "$work/out.rtf" "$sources")
reps=$(awk -v c="$c" 'BEGIN { r = c > 0 ? int(0.5 / c) + 1 : 50; print (r > 50 ? 50 : r) }')
echo "== folios doc (before and now, $reps runs a measurement) against doxygen (one run a measurement), RTF from the same files"
measure doxygen 1 bash -c 'rm -rf "$1/doxygen"; doxygen "$1/Doxyfile"' _ "$work"
measure before "$reps" "$old" doc -o "$work/before.rtf" "$sources"
measure now "$reps" "$folios" doc -o "$work/out.rtf" "$sources"
measure html "$reps" "$folios" doc -rhtml -o "$work/out.html" "$sources"
"$old" doc -o "$work/before.rtf" "$sources" > /dev/null 2>&1 || true
"$folios" doc -o "$work/out.rtf" "$sources" > /dev/null 2>&1 || true
same=$(cmp -s "$work/before.rtf" "$work/out.rtf" && echo identical || echo DIFFERENT)
printf '%-16s %12s %12s %10s %10s %12s\n' "program" "cpu seconds" "wall seconds" "spread" "MB/cpu s" "peak KB"
for name in doxygen before now html; do
  awk -v n="$name" -v b="$bytes" -v c="${cpu[$name]}" -v w="${wall[$name]}" -v s="${spread[$name]}" -v m="${mem[$name]}" \
    'BEGIN { printf "%-16s %12.3f %12.3f %9s%% %10.1f %12d\n", n, c, w, s, (c > 0 ? b / c / 1e6 : 0), m }'
done
echo "(before: folios doc at $before; html: folios doc -rhtml. Spread: the slowest of the three measurements over the fastest.)"
echo "Document against $before: $same."
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1fx", (b > 0 ? a / b : 0) }'; }
echo
printf '| %-36s | %-14s | %-14s | %-8s |\n' "build" "before" "now" "target"
printf '|%s|%s|%s|%s|\n' "--------------------------------------" "----------------" "----------------" "----------"
printf '| %-36s | %-14s | %-14s | %-8s |\n' "folios doc vs doxygen (CPU)" \
  "$(ratio "${cpu[doxygen]}" "${cpu[before]}")" "$(ratio "${cpu[doxygen]}" "${cpu[now]}")" ">= 50x"
printf '| %-36s | %-14s | %-14s | %-8s |\n' "folios doc vs doxygen (wall)" \
  "$(ratio "${wall[doxygen]}" "${wall[before]}")" "$(ratio "${wall[doxygen]}" "${wall[now]}")" ">= 50x"
printf '| %-36s | %-14s | %-14s | %-8s |\n' "folios doc -rhtml vs doxygen RTF (CPU)" "-" \
  "$(ratio "${cpu[doxygen]}" "${cpu[html]}")" "-"

echo "== cost stays linear: 1, 4 and 16 times the topics, built 16, 4 and 1 times over (time of one build, peak memory)"
base=$(awk -v m="$megabytes" 'BEGIN { b = int(m / 8); print (b < 1 ? 1 : b) }')
declare -A grow_cpu grow_mem
for n in 1 4 16; do
  mb=$((base * n))
  runs=$((16 / n))
  info=$(corpus "$work/c$mb" "$mb")
  read -r c w m < <(cpu_of "$runs" "$folios" doc -o "$work/out.rtf" "$work/c$mb/folios/*.c")
  c=$(awk -v c="$c" -v r="$runs" 'BEGIN { printf "%.4f", c / r }')
  w=$(awk -v w="$w" -v r="$runs" 'BEGIN { printf "%.4f", w / r }')
  grow_cpu[$n]=$c
  grow_mem[$n]=$m
  echo "${n}x, $info: $w s wall, $c s CPU, $m KB"
done
awk -v c1="${grow_cpu[1]}" -v c4="${grow_cpu[4]}" -v c16="${grow_cpu[16]}" 'BEGIN { c1 = c1 > 0 ? c1 : 0.01
  printf "ratio of times 1 : %.1f : %.1f (linear: 1 : 4 : 16)\n", c4 / c1, c16 / c1 }'
echo "== memory against text length (same topics, descriptions 8 times longer)"
half=$((megabytes / 2))
info=$(corpus "$work/c${half}x8" "$half" 8)
read -r c w m < <(cpu_of 1 "$folios" doc -o "$work/out.rtf" "$work/c${half}x8/folios/*.c")
echo "$info: $w s wall, $c s CPU, $m KB (compare with the $half MB corpus: $(corpus "$work/c$half" "$half" > /dev/null;
  cpu_of 1 "$folios" doc -o "$work/out.rtf" "$work/c$half/folios/*.c" | awk '{ print $3 }') KB)"

echo "== Google Benchmark: generated topics, complexity fit"
"$build/bin/docgen_bench" --benchmark_min_time=0.2
