#!/usr/bin/env bash
# Measures `folios reformat` against GNU indent, astyle and clang-format and a
# plain getline copy, on the same copy of real C from the Linux sources, all
# in one run:
#   bash scripts/bench-beautifier.sh [MEGABYTES]   (default 24)
# Every program rewrites all files with its default style, first in one
# process on one core (folios -j 1), then on every core: folios -j N, and
# each peer run the way its users spread it over cores, xargs -P N. The best
# of three runs counts (one run for clang-format, which is slow). Peak memory
# of folios is measured on one small file, on the whole set (-j 1 and -j N),
# and on one file of about 100 MB through standard input.
set -euo pipefail
cd "$(dirname "$0")/.."
megabytes=${1:-24}
jobs=$(nproc)

# The peers and the sources they are measured on, with the build needs.
bash scripts/install-deps.sh indent astyle clang-format linux-source-6.1 time xz-utils bc

build=${FOLIOS_BENCH_BUILD:-build-bench-beautifier}
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_TESTS=OFF \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target folios beautifier_getline_copy beautifier_bench -j2 > /dev/null
folios=$(realpath "$build/bin/folios")
copy=$(realpath "$build/bin/beautifier_getline_copy")

# On a memory file system when there is one, so that the figures measure the
# programs rather than the disk's allocator.
base=/tmp
[[ -d /dev/shm && -w /dev/shm ]] && base=/dev/shm
work=$(mktemp -d "$base/folios-bench-beautifier.XXXXXX")
trap 'rm -rf "$work"' EXIT
export FOLIOS_CONFIG_DIR=$work/config   # default settings
mkdir -p "$FOLIOS_CONFIG_DIR"
echo "Extracting kernel sources..."
tar -xJf /usr/src/linux-source-6.1.tar.xz -C "$work" linux-source-6.1/fs linux-source-6.1/kernel
mkdir -p "$work/pristine"
# The first C files in name order up to the wanted size, as relative paths.
# awk reads to the end: leaving early would stop sort with SIGPIPE.
limit=$((megabytes * 1000000))
(cd "$work/linux-source-6.1" && find fs kernel -name '*.[ch]' -type f -printf '%s %p\n' |
  LC_ALL=C sort -k2 | awk -v limit="$limit" 'total < limit { total += $1; print $2 }') > "$work/files"
(cd "$work/linux-source-6.1" && tar -cf - -T "$work/files") | tar -xf - -C "$work/pristine"
rm -rf "$work/linux-source-6.1"
mapfile -t files < "$work/files"
bytes=$(cd "$work/pristine" && cat "${files[@]}" | wc -c)
echo "Input: ${#files[@]} C files, $bytes bytes; $jobs cores; load before: $(cut -d' ' -f1-3 /proc/loadavg)"

# run NAME RUNS COMMAND...: best wall time of RUNS runs on fresh copies, in
# seconds; the file names follow COMMAND. With NAME ending in "-P", the names
# go through xargs -P $jobs, 32 to a process.
declare -A seconds
run() {
  local name=$1 runs=$2
  shift 2
  local best=""
  for ((r = 0; r < runs; r++)); do
    rm -rf "$work/tree"
    cp -a "$work/pristine" "$work/tree"
    local start end t
    start=$(date +%s.%N)
    if [[ $name == *-P ]]; then
      (cd "$work/tree" && printf '%s\0' "${files[@]}" | xargs -0 -P "$jobs" -n 32 "$@" > /dev/null 2> "$work/$name.err") || true
    else
      (cd "$work/tree" && "$@" "${files[@]}" > /dev/null 2> "$work/$name.err") || true
    fi
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [[ -z $best ]] || (($(echo "$t < $best" | bc -l))); then best=$t; fi
  done
  seconds[$name]=$best
}

run getline 3 "$copy"
run folios 3 "$folios" reformat -j 1
run indent 3 indent -npro
run astyle 3 astyle -n -q
run clang-format 1 clang-format -i
run folios-j 3 "$folios" reformat -j "$jobs"
run indent-P 3 indent -npro
run astyle-P 3 astyle -n -q
run clang-format-P 1 clang-format -i

mbps() { echo "scale=2; $bytes / 1000000 / ${seconds[$1]}" | bc -l; }
printf '\n%-16s %9s %9s\n' program seconds MB/s
for name in getline folios indent astyle clang-format folios-j indent-P astyle-P clang-format-P; do
  printf '%-16s %9s %9s\n' "$name" "${seconds[$name]}" "$(mbps "$name")"
done
ratio() { echo "scale=1; ${seconds[$1]} / ${seconds[$2]}" | bc -l; }
echo
echo "One core:  folios is $(ratio indent folios)x indent, $(ratio astyle folios)x astyle," \
     "$(ratio clang-format folios)x clang-format"
echo "           folios takes $(ratio folios getline)x the time of the getline copy"
echo "$jobs cores: folios -j $jobs is $(ratio folios folios-j)x folios -j 1; against xargs -P $jobs:" \
     "$(ratio indent-P folios-j)x indent, $(ratio astyle-P folios-j)x astyle, $(ratio clang-format-P folios-j)x clang-format"
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"

# Memory: peak resident size on one small file, on all files, and on one
# large file through standard input.
small=$(cd "$work/pristine" && ls -S "${files[@]}" | tail -1)
rm -rf "$work/tree" && cp -a "$work/pristine" "$work/tree"
rss_small=$( { cd "$work/tree" && /usr/bin/time -f %M "$folios" reformat "$small" > /dev/null; } 2>&1 | tail -1)
rss_all=$( { cd "$work/tree" && /usr/bin/time -f %M "$folios" reformat -j 1 "${files[@]}" > /dev/null; } 2>&1 | tail -1)
rm -rf "$work/tree" && cp -a "$work/pristine" "$work/tree"
rss_all_j=$( { cd "$work/tree" && /usr/bin/time -f %M "$folios" reformat -j "$jobs" "${files[@]}" > /dev/null; } 2>&1 | tail -1)
(cd "$work/pristine" && for i in 1 2 3 4; do cat "${files[@]}"; done) > "$work/big.c"
big=$(wc -c < "$work/big.c")
rss_big=$( { /usr/bin/time -f %M "$folios" reformat - < "$work/big.c" > /dev/null; } 2>&1 | tail -1)
echo
echo "Peak memory of folios: ${rss_small} KB on one small file, ${rss_all} KB on all files" \
     "(${rss_all_j} KB with -j $jobs), ${rss_big} KB on one file of $big bytes"

echo
"$build/bin/beautifier_bench" --benchmark_min_time=0.2
