#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled samples.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
mkdir -p out
./build/bin/folios files --types cpp,h,java,frm,bas,cls samples
