#!/usr/bin/env bash
# Renders the main window and every dialog of the desktop program to PNG
# files without a display: render-gui.sh [OUTPUT_DIR] (default: gui-shots/).
# The file list is filled from samples/; settings go to a scratch directory.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-gui-shots}
build=${FOLIOS_RENDER_BUILD:-build-render}
bash scripts/install-deps.sh fonts-dejavu-core
if [[ ! -x "$build/bin/folios-gui-render" ]]; then
  cmake -S . -B "$build" -DFOLIOS_BUILD_TESTS=OFF -DFOLIOS_BUILD_BENCH=OFF > /dev/null
fi
cmake --build "$build" --target folios-gui-render -j2 > /dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/folios-gui-render" "$out" samples
