#!/usr/bin/env bash
# Builds the Debian package in Release and checks it with lintian:
#   bash scripts/package.sh [OUT_DIR]   (default: dist)
# The package holds folios, folios-gui, the shipped data, the manual pages,
# the bash completion, the desktop entry with its icon and metadata.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-dist}
build=build-package

bash scripts/install-deps.sh lintian

# The hardening flags Debian builds its packages with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS

rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DFOLIOS_BUILD_TESTS=OFF -DFOLIOS_BUILD_BENCH=OFF > "$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
grep -q 'FOLIOS_SCDOC:FILEPATH=/' "$build/CMakeCache.txt" ||
  { echo "scdoc is missing: the package needs its manual pages"; exit 1; }
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB -B "$PWD/cpack" > cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }

mkdir -p "$out"
deb=$(ls "$build"/cpack/lumentra-folios_*.deb)
cp "$deb" "$out/"
deb=$out/$(basename "$deb")
echo
echo "Package: $deb ($(du -k "$deb" | cut -f1) KB)"
dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /'
echo
echo "lintian:"
# lintian refuses to run as root without this; it only reads the package.
lintian --allow-root --display-info "$deb" || true
