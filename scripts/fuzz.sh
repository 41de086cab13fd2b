#!/usr/bin/env bash
# Runs every fuzz target, one after another, and prints a table of target,
# runs, coverage and findings. Exit status 1 when anything was found.
#
#   scripts/fuzz.sh [SECONDS]          each target for SECONDS (default 60)
#   scripts/fuzz.sh --runs N           each target for N runs from a fixed seed (the smoke run)
#   ... [TARGET...]                    only these targets (listing, docgen, ...)
#
# Builds the targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/. Each target starts from its
# seeds (samples, golden inputs, data files, tests/fuzz/seeds) and its
# regression inputs; the corpus it grows is kept in build-fuzz/fuzz-corpus/,
# and inputs that fail go to build-fuzz/fuzz-findings/TARGET/ (with the
# log beside them). Known findings (tests/fuzz/regressions/known-findings.txt)
# are left out of the starting inputs.
#
# Limits: inputs up to 16 KB (the targets can repeat one to 256 KB), 10 s
# and 2 GB per input, so cost that grows faster than the input shows up as a
# time-out or out-of-memory finding.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=time
amount=60
if [[ ${1:-} == --runs ]]; then
  mode=runs
  amount=${2:?--runs needs a number}
  shift 2
elif [[ ${1:-} =~ ^[0-9]+$ ]]; then
  amount=$1
  shift
fi
all_targets=(listing beautifier docgen keyword_file noise_chars settings_file project_file)
targets=("${@:-${all_targets[@]}}")

build=$PWD/build-fuzz
if ! command -v clang++ > /dev/null; then
  echo "fuzz.sh: clang++ is missing (bash scripts/install-deps.sh installs it)" >&2
  exit 1
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DFOLIOS_FUZZ=ON -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_BENCH=OFF -DFOLIOS_BUILD_TESTS=OFF \
  > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j"$(nproc)" --target fuzz_targets > "$build/fuzz-build.log" 2>&1 ||
  { tail -50 "$build/fuzz-build.log"; exit 1; }

seeds=$build/fuzz-seeds
python3 tests/fuzz/gather_seeds.py . "$seeds"
known=tests/fuzz/regressions/known-findings.txt

# The starting inputs of one target without its known findings.
starting_inputs() {
  local target=$1 dir=$2
  rm -rf "$dir"
  mkdir -p "$dir"
  for source in "$seeds/$target" "tests/fuzz/regressions/$target"; do
    [[ -d $source ]] || continue
    for file in "$source"/*; do
      [[ -f $file ]] || continue
      local name
      name=$(basename "$file")
      if grep -q "^$target/$name[[:space:]]" "$known" 2> /dev/null; then continue; fi
      cp "$file" "$dir/"
    done
  done
}

rows=()
failed=0
for target in "${targets[@]}"; do
  exe=$build/bin/fuzz_$target
  [[ -x $exe ]] || { echo "fuzz.sh: no target '$target'" >&2; exit 2; }
  corpus=$build/fuzz-corpus/$target
  start=$build/fuzz-start/$target
  findings=$build/fuzz-findings/$target
  mkdir -p "$corpus" "$findings"
  starting_inputs "$target" "$start"
  # A fixed number of runs (the smoke run of the test command) starts from a
  # fixed random seed, so that the same tree always gives the same result.
  # Without -use_cmp=0 the values the target compares, addresses among them,
  # feed the mutations, and each run takes another path.
  if [[ $mode == runs ]]; then
    limit=(-runs="$amount" -seed=1 -use_cmp=0)
  else
    limit=(-max_total_time="$amount")
  fi
  log=$findings/last-run.log
  before=$(find "$findings" -maxdepth 1 -type f ! -name '*.log' | wc -l)
  # A finding ends libFuzzer with a non-zero status; the table reports it.
  "$exe" "${limit[@]}" -max_len=16384 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$start" > "$log" 2>&1 || true
  after=$(find "$findings" -maxdepth 1 -type f ! -name '*.log' | wc -l)
  found=$((after - before))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
  if [[ -z $runs ]]; then
    # libFuzzer stopped before its statistics: the last progress line.
    runs=$( (grep -o '^#[0-9]*' "$log" || true) | tail -1 | tr -d '#')
  fi
  if ((found > 0)) || ! grep -q '^stat::number_of_executed_units' "$log"; then
    failed=1
    ((found > 0)) || found="stopped"
  fi
  rows+=("$(printf '%-15s %12s %10s %10s' "$target" "${runs:-?}" "${coverage:-?}" "$found")")
done

printf '%-15s %12s %10s %10s\n' target runs coverage findings
printf '%s\n' "${rows[@]}"
if ((failed)); then
  echo "Findings are in build-fuzz/fuzz-findings/TARGET/ (the log of the run: last-run.log)."
fi
exit $failed
