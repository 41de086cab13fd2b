#!/usr/bin/env bash
# Measures `folios listing` against a plain line-by-line copy of the same
# real C sources, against the listing of an earlier commit ("before"), and
# against other source-to-RTF converters, all in one run:
#   bash scripts/bench-listing.sh [MEGABYTES]   (default 24)
# BEFORE=COMMIT names the earlier commit (default abe84ec); BEFORE_BIN=PATH
# takes a folios program already built instead.
#
# Every build is measured three times; each measurement repeats the command
# until the copy, the fastest, has taken at least half a second of
# processor time, so that the figures hold still. The spread of the three
# is printed beside the best.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-common.sh
megabytes=${1:-24}
before=${BEFORE:-abe84ec}

# The peers and the sources they are measured on, with the build needs.
bash scripts/install-deps.sh highlight enscript linux-source-6.1 time xz-utils bc

print_load

build=build-bench-listing
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_TESTS=OFF \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target folios getline_copy listing_bench -j2 > /dev/null

# The earlier program, built once from its commit and kept.
old=$(before_program "$build" "$before")

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
folios=$PWD/$build/bin/folios
copy=$PWD/$build/bin/getline_copy
out="$work/out"
mkdir -p "$out/hl" "$out/hl-html"

# The machine may be shared, so wall time says more about the neighbours
# than about the program: programs are compared by processor time (user +
# system) of one pass over the input.
declare -A cpu wall spread
reps=1
# cpu_of COUNT COMMAND...: processor seconds and wall seconds of COUNT runs.
cpu_of() {
  local count=$1
  shift
  /usr/bin/time -f "%e %U %S" -o "$work/time" \
    bash -c 'n=$1; shift; for ((k = 0; k < n; k++)); do "$@" > /dev/null 2>&1; done' _ "$count" "$@"
  awk '{ printf "%.3f %.3f\n", $2 + $3, $1 }' "$work/time"
}
# measure NAME COMMAND...: three measurements of `reps` runs each; the best
# per run counts, and the spread (highest over lowest, less one) is kept.
measure() {
  local name=$1
  shift
  local all=() c w
  for _ in 1 2 3; do
    read -r c w < <(cpu_of "$reps" "$@")
    all+=("$c $w")
  done
  read -r cpu[$name] wall[$name] spread[$name] < <(printf '%s\n' "${all[@]}" | sort -n | awk -v n="$reps" '
    NR == 1 { lo = $1; w = $2 } { hi = $1 }
    END { printf "%.4f %.4f %.1f\n", lo / n, w / n, (lo > 0 ? (hi / lo - 1) * 100 : 0) }')
}
# The number of runs that makes the copy take half a second.
read -r c _ < <(cpu_of 1 "$copy" "$out/copy.txt" "${files[@]}")
reps=$(awk -v c="$c" 'BEGIN { r = c > 0 ? int(0.5 / c) + 1 : 50; print (r > 50 ? 50 : r) }')
echo "Each measurement repeats each command $reps times (the copy once takes $c s)."

plain=(listing --set m_use_advanced_options=0)
measure getline "$copy" "$out/copy.txt" "${files[@]}"
measure plain_before "$old" "${plain[@]}" -o "$out/before.rtf" "${files[@]}"
measure plain "$folios" "${plain[@]}" -o "$out/listing.rtf" "${files[@]}"
# The listings must not differ from the earlier program's.
"$old" "${plain[@]}" -o "$out/before.rtf" "${files[@]}"
"$folios" "${plain[@]}" -o "$out/listing.rtf" "${files[@]}"
same_plain=$(cmp -s "$out/before.rtf" "$out/listing.rtf" && echo identical || echo DIFFERENT)
measure numbers "$folios" "${plain[@]}" --set m_uselinenumbers=0 -o "$out/numbers.rtf" "${files[@]}"
measure html "$folios" listing --format=html --set m_use_advanced_options=0 -o "$out/listing.html" "${files[@]}"
# The default listing pre-formats C files with the beautifier (one job per
# core, so its processor time is the measure).
reps_saved=$reps
reps=1
measure default_before "$old" listing -o "$out/default-before.rtf" "${files[@]}"
measure default "$folios" listing -o "$out/default.rtf" "${files[@]}"
same_default=$(cmp -s "$out/default-before.rtf" "$out/default.rtf" && echo identical || echo DIFFERENT)
measure enscript enscript --language=rtf -Ec --color -q -o "$out/enscript.rtf" "${files[@]}"
measure highlight highlight -O rtf --syntax=c -q -d "$out/hl" "${files[@]}"
measure highlight_html highlight -O html --include-style --syntax=c -q -d "$out/hl-html" "${files[@]}"
reps=$reps_saved

rate() { awk -v b="$bytes" -v c="${cpu[$1]}" 'BEGIN { printf "%.1f", (c > 0 ? b / c / 1e6 : 0) }'; }
printf '\n%-16s %12s %12s %10s %14s\n' "program" "cpu seconds" "wall seconds" "spread" "MB per cpu s"
for name in getline plain_before plain numbers html default_before default enscript highlight highlight_html; do
  printf '%-16s %12.3f %12.3f %9s%% %14s\n' "$name" "${cpu[$name]}" "${wall[$name]}" "${spread[$name]}" "$(rate "$name")"
done
echo "(plain: pre-format off; numbers: with line numbers; html: the web page; default: pre-format on;"
echo " *_before: folios at $before. Spread: the slowest of the three measurements over the fastest.)"
echo "Output against $before: plain listing $same_plain, default listing $same_default."

ratio() { awk -v a="$1" -v b="$2" -v f="$3" 'BEGIN { printf f, (b > 0 ? a / b : 0) }'; }
echo
printf '| %-50s | %-8s | %-8s | %-14s |\n' "build" "before" "now" "target"
printf '|%s|%s|%s|%s|\n' "----------------------------------------------------" "----------" "----------" "----------------"
printf '| %-50s | %-8s | %-8s | %-14s |\n' "listing (pre-format off) vs the getline copy" \
  "$(ratio "${cpu[getline]}" "${cpu[plain_before]}" "%.2f")" "$(ratio "${cpu[getline]}" "${cpu[plain]}" "%.2f")" \
  ">= 0.5"
printf '| %-50s | %-8s | %-8s | %-14s |\n' "default listing (pre-format on) vs the plain one" \
  "$(ratio "${cpu[default_before]}" "${cpu[plain_before]}" "%.1fx")" "$(ratio "${cpu[default]}" "${cpu[plain]}" "%.1fx")" \
  "within 3x"
printf '| %-50s | %-8s | %-8s | %-14s |\n' "plain listing vs highlight / enscript (RTF)" \
  "$(ratio "${cpu[highlight]}" "${cpu[plain_before]}" "%.1fx") / $(ratio "${cpu[enscript]}" "${cpu[plain_before]}" "%.1fx")" \
  "$(ratio "${cpu[highlight]}" "${cpu[plain]}" "%.1fx") / $(ratio "${cpu[enscript]}" "${cpu[plain]}" "%.1fx")" "-"
printf '| %-50s | %-8s | %-8s | %-14s |\n' "web page listing vs highlight's HTML" "-" \
  "$(ratio "${cpu[highlight_html]}" "${cpu[html]}" "%.1fx")" "-"

# Cost stays linear: one file of 1, 4 and 16 times a quarter of the input,
# listed plain, 16, 4 and 1 times over so that each takes about as long;
# processor time of one listing and peak memory of each.
echo
quarter="$work/quarter.c"
cat "${files[@]}" | head -c $((bytes / 4)) > "$quarter" || true  # head stops the cat early
declare -A scale_cpu scale_mem
for n in 1 4 16; do
  big="$work/scale-$n.c"
  for ((k = 0; k < n; k++)); do cat "$quarter"; done > "$big"
  runs=$((16 / n))
  /usr/bin/time -f "%U %S %M" -o "$work/time" bash -c \
    'n=$1; shift; for ((k = 0; k < n; k++)); do "$@" > /dev/null; done' _ "$runs" \
    "$folios" "${plain[@]}" -o "$out/scale.rtf" "$big"
  read -r u s m < "$work/time"
  scale_cpu[$n]=$(awk -v u="$u" -v s="$s" -v r="$runs" 'BEGIN { printf "%.4f", (u + s) / r }')
  scale_mem[$n]=$m
  rm -f "$big" "$out/scale.rtf"
done
awk -v b=$((bytes / 4)) -v c1="${scale_cpu[1]}" -v c4="${scale_cpu[4]}" -v c16="${scale_cpu[16]}" \
    -v m1="${scale_mem[1]}" -v m4="${scale_mem[4]}" -v m16="${scale_mem[16]}" 'BEGIN {
  c1 = c1 > 0 ? c1 : 0.01
  printf "Scaling, one file of %.1f MB x 1, 4, 16: %.3f, %.3f, %.3f cpu s; ratio of times 1 : %.1f : %.1f (linear: 1 : 4 : 16)\n", b / 1e6, c1, c4, c16, c4 / c1, c16 / c1
  printf "Peak memory of the same: %d, %d, %d KB (flat in the size of the file)\n", m1, m4, m16 }'

peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident/ { print $2 }'; }
echo "Peak memory, whole set: $(peak "$folios" "${plain[@]}" -o "$out/m.rtf" "${files[@]}") KB;" \
     "the getline copy of it: $(peak "$copy" "$out/m.txt" "${files[@]}") KB"

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
reps=1
measure one_line "$folios" "${plain[@]}" -o - "$long"
measure one_line_plain "$folios" "${plain[@]}" --set m_linebreaks=0 -o - "$long"
measure one_line_html "$folios" listing --format=html --set m_use_advanced_options=0 -o - "$long"
echo
echo "One line of $(stat -c %s "$long") bytes, cut: ${cpu[one_line]} cpu s" \
     "(${wall[one_line]} s wall); not cut: ${cpu[one_line_plain]} cpu s;" \
     "cut, as a web page: ${cpu[one_line_html]} cpu s"
for run in one_line one_line_html; do
  if awk -v c="${cpu[$run]}" 'BEGIN { exit !(c < 2) }'; then
    echo "$run: under 2 s"
  else
    echo "$run: OVER 2 s"
  fi
done

echo
"$build/bin/listing_bench" --benchmark_min_time=0.5 2>/dev/null | grep -E "^BM_|^Benchmark"
