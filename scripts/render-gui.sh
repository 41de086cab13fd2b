#!/usr/bin/env bash
# Renders the main window and every dialog of the desktop program to PNG
# files without a display: render-gui.sh [OUTPUT_DIR] (default: gui-shots/).
# Four sets: OUTPUT_DIR itself (English, the desktop's light palette),
# dark/ (a dark palette), scaled/ (a screen scaled by 2) and de/ (German).
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
# The windows are drawn on a screen as large as a common desktop's.
screen=$(mktemp)
trap 'rm -f "$screen"' EXIT
echo '{"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1080}]}' > "$screen"
render() {
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES QT_QPA_PLATFORM="offscreen:configfile=$screen" "$@"
}
render LANG=C.UTF-8 "$build/bin/folios-gui-render" "$out" samples
render LANG=C.UTF-8 "$build/bin/folios-gui-render" --dark "$out/dark" samples
render LANG=C.UTF-8 QT_SCALE_FACTOR=2 "$build/bin/folios-gui-render" "$out/scaled" samples
render LANG=de_DE.UTF-8 "$build/bin/folios-gui-render" "$out/de" samples
