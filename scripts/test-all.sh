#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal
# build and once with AddressSanitizer and UndefinedBehaviorSanitizer, then a
# short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
status=0

# Warnings are errors here, so a change that brings one fails the test command.
bash scripts/build.sh build -DFOLIOS_WERROR=ON
(cd build && ctest --output-on-failure -j"$(nproc)") || status=1

bash scripts/build.sh build-sanitize -DFOLIOS_SANITIZE=ON -DFOLIOS_BUILD_BENCH=OFF -DFOLIOS_WERROR=ON
(cd build-sanitize &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j"$(nproc)") || status=1

# Every fuzz target for a thousand runs from its seeds, oracles and sanitizers on.
# The path of a run still varies a little from machine to machine, so the
# hunt for new faults is the timed run (scripts/fuzz.sh SECONDS), not this.
bash scripts/fuzz.sh --runs 1000 || status=1

if ((status)); then echo "Some tests failed."; else echo "All tests passed."; fi
exit $status
