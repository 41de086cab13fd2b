#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

# What the programs, their data and their manual pages are built with.
programs=(build-essential cmake pkg-config qt6-base-dev libgl-dev
          # the command line's option parser (header only)
          libcli11-dev
          # the translations: Qt's Linguist tools, and Qt's own catalogues
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
          scdoc)
# What the tests, benchmarks and fuzz targets are built and run with.
tests=(libgtest-dev libgmock-dev libbenchmark-dev
       unrtf fonts-dejavu-core python3 linux-source-6.1
       # real third-party code for the beautifier's token oracle
       googletest openjdk-17-source unzip
       # what the manual and package tests use
       man-db bash-completion dpkg-dev file bsdextrautils appstream desktop-file-utils
       # a real RTF reader and PDF text for the documentation's index page numbers
       libreoffice-writer-nogui poppler-utils
       # RTF readers the listing and the reference must open in
       pandoc
       # a real browser for the web page listing and reference
       chromium
       # git for the pre-commit hook and to apply the diffs of folios reformat --diff
       git
       # the fuzz targets: clang with libFuzzer and the sanitizer runtimes
       clang libclang-rt-14-dev
       # the layout and clang-tidy checks (tests/style)
       clang-format clang-tidy
       # line coverage per directory
       gcovr
       # running the permission tests as an unprivileged user
       util-linux)
#   install-deps.sh [--programs] [PACKAGE...]: --programs installs only what
#   the programs are built with.
if [[ ${1:-} == --programs ]]; then
  shift
  packages=("${programs[@]}" "$@")
else
  packages=("${programs[@]}" "${tests[@]}" "$@")
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
