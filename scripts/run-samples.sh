#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the bundled
# samples: a listing of every sample source as an RTF document and as a web
# page, and the reference documentation of the documented samples. Results
# go to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --programs
# Only the programs and their data: the test command builds the tests,
# benchmarks and fuzz targets in the same tree.
bash scripts/build.sh build -DFOLIOS_BUILD_TESTS=OFF -DFOLIOS_BUILD_BENCH=OFF
# The builds only read the samples: neither writes anything beside them.
mkdir -p out
./build/bin/folios doc -o out/reference.rtf samples/documented/*/*
./build/bin/folios listing --types cpp,h,java,frm,bas,cls -o out/samples.rtf samples
./build/bin/folios listing --types cpp,h,java,frm,bas,cls -o out/samples.html samples
echo "Wrote out/samples.rtf and out/samples.html (source listing, as an RTF document and as a"
echo "web page) and out/reference.rtf (documentation)."
