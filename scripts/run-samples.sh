#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled
# samples: an RTF listing of every sample source, and the reference
# documentation of the documented samples. Results go to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
# Work on a copy: the listing's pre-formatting leaves a .orig backup beside
# every C, C++ and Java file it lists.
rm -rf out/samples
mkdir -p out
cp -r samples out/samples
./build/bin/folios doc -o out/reference.rtf out/samples/documented/*/*
./build/bin/folios listing --types cpp,h,java,frm,bas,cls -o out/samples.rtf out/samples
echo "Wrote out/samples.rtf (source listing) and out/reference.rtf (documentation)."
