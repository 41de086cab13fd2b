#!/usr/bin/env bash
# Builds the Debian package from an existing build tree with CPack and unpacks
# it for the package tests:
#   deb_build.sh BUILD_DIR OUT_DIR
# leaves OUT_DIR/lumentra-folios.deb, its control files in OUT_DIR/control
# and its contents in OUT_DIR/root.
set -euo pipefail
build=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out/cpack" > "$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
shopt -s nullglob
debs=("$out"/cpack/*.deb)
if ((${#debs[@]} != 1)); then
  echo "FAIL: cpack made ${#debs[@]} packages, expected one"
  exit 1
fi
mv "${debs[0]}" "$out/"
ln -s "$(basename "${debs[0]}")" "$out/lumentra-folios.deb"
rm -rf "$out/cpack"
dpkg-deb -x "$out/lumentra-folios.deb" "$out/root"
dpkg-deb -e "$out/lumentra-folios.deb" "$out/control"
echo "Built $(basename "${debs[0]}")"
