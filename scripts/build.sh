#!/usr/bin/env bash
# Configures and builds into a build directory: build.sh DIR [CMAKE ARGUMENT...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
# Tests and benchmarks are built unless the arguments say otherwise, also in
# a tree that scripts/run-samples.sh configured without them.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOLIOS_BUILD_TESTS=ON -DFOLIOS_BUILD_BENCH=ON "$@" \
  > "$dir.configure.log" 2>&1 ||
  { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j"$(nproc)"
