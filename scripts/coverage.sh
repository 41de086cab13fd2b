#!/usr/bin/env bash
# Builds with line coverage into build-coverage/, runs the tests (not the
# slow ones) and prints the line coverage of each source directory.
#   coverage.sh [CTEST ARGUMENT...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=build-coverage
find "$dir" -name '*.gcda' -delete 2> /dev/null || true
bash scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=Debug -DFOLIOS_COVERAGE=ON -DFOLIOS_BUILD_BENCH=OFF
(cd "$dir" && QT_QPA_PLATFORM=offscreen ctest -LE slow -j"$(nproc)" "$@") || true
# The program's own sources only: not the tests, the generated files or the
# benchmarks.
gcovr --root . --object-directory "$dir" --exclude 'tests/' --exclude 'bench/' --exclude "$dir/" \
  --exclude '.*_autogen/' --gcov-ignore-parse-errors -j "$(nproc)" --print-summary \
  --txt "$dir/coverage.txt" > /dev/null
python3 - "$dir/coverage.txt" <<'PY'
import collections, re, sys
lines = collections.Counter()
covered = collections.Counter()
for row in open(sys.argv[1]):
    m = re.match(r'^(\S+)\s+(\d+)\s+(\d+)\s+\d+%', row)
    if not m or '/' not in m.group(1):
        continue
    top = m.group(1).split('/')[0]
    lines[top] += int(m.group(2))
    covered[top] += int(m.group(3))
print(f"{'directory':<12}{'lines':>8}{'covered':>9}{'share':>8}")
for top in sorted(lines):
    print(f"{top + '/':<12}{lines[top]:>8}{covered[top]:>9}{100 * covered[top] / lines[top]:>7.1f}%")
total, hit = sum(lines.values()), sum(covered.values())
print(f"{'all':<12}{total:>8}{hit:>9}{100 * hit / total:>7.1f}%")
PY
