#!/usr/bin/env bash
# Measures how much of a tree each formatter rewrites: the lines of the
# original that do not come out as they went in.
#   bash scripts/churn.sh TREE STYLE [FOLIOS OPTION...]
# STYLE picks the peers' nearest styles (kr, java, linux, gnu, google,
# allman); the folios options (for example --style=allman or --set
# NAME=VALUE) choose its layout, by default --style=STYLE. Every formatter works on a fresh copy of the same C,
# C++ and Java files; a file a formatter refuses counts as unchanged.
set -euo pipefail
cd "$(dirname "$0")/.."
if (($# < 2)); then
  echo "usage: churn.sh TREE STYLE [FOLIOS OPTION...]" >&2
  exit 2
fi
tree=$(realpath "$1")
style=$2
shift 2
folios_options=("$@")
((${#folios_options[@]})) || folios_options=("--style=$style")

bash scripts/install-deps.sh astyle clang-format indent bc > /dev/null
build=${FOLIOS_CHURN_BUILD:-build-churn}
if [[ ! -x $build/bin/folios ]]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_TESTS=OFF \
    -DFOLIOS_BUILD_BENCH=OFF > /dev/null
fi
cmake --build "$build" --target folios -j2 > /dev/null
folios=$(realpath "$build/bin/folios")

# Each peer's nearest style, and whether it reads the tree's language at
# all (GNU indent reads only C).
case $style in
  kr)
    astyle_opts=(--style=kr --indent=spaces=4)
    clang_style='{BasedOnStyle: LLVM, IndentWidth: 4, ColumnLimit: 100, BreakBeforeBraces: Linux, AllowShortFunctionsOnASingleLine: None}'
    indent_opts=(-kr -i4 -nut -l120) ;;
  allman)
    astyle_opts=(--style=allman --indent=spaces=4)
    clang_style='{BasedOnStyle: LLVM, IndentWidth: 4, ColumnLimit: 100, BreakBeforeBraces: Allman}'
    indent_opts=(-bl -bli0 -i4 -nut -l120) ;;
  java)
    astyle_opts=(--style=java --indent=spaces=4)
    clang_style='{BasedOnStyle: Google, IndentWidth: 4, ColumnLimit: 100}'
    indent_opts=() ;;
  linux)
    astyle_opts=(--style=linux --indent=force-tab=8)
    clang_style='{BasedOnStyle: LLVM, IndentWidth: 8, UseTab: Always, BreakBeforeBraces: Linux, ColumnLimit: 80, AllowShortIfStatementsOnASingleLine: false, IndentCaseLabels: false}'
    indent_opts=(-linux) ;;
  gnu)
    astyle_opts=(--style=gnu)
    clang_style=GNU
    indent_opts=(-gnu) ;;
  google)
    astyle_opts=(--style=google --indent=spaces=2)
    clang_style=Google
    indent_opts=(-kr -i2 -nut -l80) ;;
  *)
    echo "churn.sh: unknown style '$style' (kr, allman, java, linux, gnu, google)" >&2
    exit 2 ;;
esac

work=$(mktemp -d /tmp/folios-churn.XXXXXX)
trap 'rm -rf "$work"' EXIT
(cd "$tree" && find . -type f \( -iname '*.c' -o -iname '*.h' -o -iname '*.cpp' -o -iname '*.cc' \
  -o -iname '*.cxx' -o -iname '*.hpp' -o -iname '*.hh' -o -iname '*.hxx' -o -iname '*.java' \) \
  -print0 | LC_ALL=C sort -z) > "$work/files"
count=$(tr -cd '\0' < "$work/files" | wc -c)
if ((count == 0)); then
  echo "churn.sh: no C, C++ or Java files under $tree" >&2
  exit 1
fi
copy() {
  mkdir -p "$work/$1"
  (cd "$tree" && xargs -0 cp --parents -t "$work/$1") < "$work/files"
}
copy original
lines=$(cd "$work/original" && xargs -0 cat < "$work/files" | wc -l)

# Lines of the original that the formatter did not leave as they were.
changed() {
  (cd "$work/original" && xargs -0 -I{} diff --unchanged-line-format= --old-line-format='-%L' \
    --new-line-format= {} "$work/$1/{}" < "$work/files") | grep -c '^-' || true
}
each_file() {  # each_file COPY COMMAND... : runs COMMAND FILE in COPY, FILE last
  local dir=$1
  shift
  (cd "$work/$dir" && xargs -0 -n 50 "$@" < "$work/files") > /dev/null 2>&1 || true
}

declare -A result note
copy folios
quiet=()
"$folios" reformat --help | grep -q -- '-q,' && quiet=(-q)
each_file folios "$folios" reformat "${quiet[@]}" "${folios_options[@]}" --
result[folios]=$(changed folios)
note[folios]="${folios_options[*]:-(defaults)}"

copy astyle
each_file astyle astyle -q -n "${astyle_opts[@]}"
result[astyle]=$(changed astyle)
note[astyle]="${astyle_opts[*]}"

copy clang-format
each_file clang-format clang-format -i "--style=$clang_style"
result[clang-format]=$(changed clang-format)
note[clang-format]="-style=$clang_style"

if ((${#indent_opts[@]})); then
  copy indent
  # indent reads C only: the C files of the tree.
  (cd "$work/indent" && tr '\0' '\n' < "$work/files" | grep -E '\.[ch]$' |
    while IFS= read -r f; do indent "${indent_opts[@]}" "$f" -o "$f.new" 2>/dev/null && mv "$f.new" "$f"; rm -f "$f.new"; done) || true
  result[indent]=$(changed indent)
  note[indent]="${indent_opts[*]} (C files only)"
fi

echo "Tree: $tree ($count files, $lines lines), style: $style"
printf '%-14s %14s %8s  %s\n' formatter "lines changed" share options
for name in folios astyle clang-format indent; do
  [[ -n ${result[$name]:-} ]] || continue
  printf '%-14s %14s %7.1f%%  %s\n' "$name" "${result[$name]}" \
    "$(echo "100 * ${result[$name]} / $lines" | bc -l)" "${note[$name]}"
done
