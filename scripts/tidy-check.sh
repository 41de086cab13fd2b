#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the program's sources with
# the compile commands of a build, and fails on every finding that
# tests/style/tidy-baseline.txt does not hold.
#
#   tidy-check.sh [--build DIR] [--changed BASE] [--update-baseline] [SOURCE...]
#
#   --build DIR        the build whose compile_commands.json is used (default: build)
#   --changed BASE     only the sources changed since the merge base with BASE
#                      (a git revision), and those that include a changed header;
#                      BASE "auto": the merge base with main, or on main itself
#                      the commit before the last (what the last merge brought)
#   --update-baseline  write every finding of a whole run into the baseline
#   SOURCE...          only these .cpp files
#
# A finding is written "file:check:message", without its line, so that code
# moving about does not turn an old finding into a new one; a file may hold
# the same finding as many times as the baseline lists it. Findings that are
# gone are named, so that their lines can be taken out of the baseline.
# TIDY_JOBS sets how many clang-tidy processes run at once (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
baseline=tests/style/tidy-baseline.txt
build=build
changed_base=
update=0
sources=()
while (($#)); do
  case $1 in
    --build) build=${2:?--build needs a directory}; shift 2 ;;
    --changed) changed_base=${2:?--changed needs a revision}; shift 2 ;;
    --update-baseline) update=1; shift ;;
    -*) echo "tidy-check.sh: unknown option '$1'" >&2; exit 2 ;;
    *) sources+=("$1"); shift ;;
  esac
done
if ! command -v clang-tidy > /dev/null; then
  echo "tidy-check.sh: clang-tidy is missing (bash scripts/install-deps.sh installs it)" >&2
  exit 77
fi
database=$build/compile_commands.json
if [[ ! -f $database ]]; then
  echo "tidy-check.sh: no $database (build first: bash scripts/build.sh $build)" >&2
  exit 2
fi

# The program's translation units in the build, relative to the source tree.
mapfile -t units < <(python3 - "$database" "$root" << 'EOF'
import json, os, sys
database, root = sys.argv[1], sys.argv[2]
dirs = ("app", "beautifier", "cli", "common", "docgen", "listing", "settings")
seen = set()
for entry in json.load(open(database)):
    path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if path.split(os.sep)[0] in dirs and path not in seen:
        seen.add(path)
        print(path)
EOF
)

# The base of --changed auto; empty for a whole run.
auto_base() {
  git rev-parse --is-inside-work-tree > /dev/null 2>&1 || return 0
  local head base='' ref
  head=$(git rev-parse HEAD)
  for ref in origin/main main; do
    if git rev-parse -q --verify "$ref^{commit}" > /dev/null; then
      base=$(git merge-base "$ref" HEAD) && break
    fi
  done
  if [[ -z $base || $base == "$head" ]]; then
    base=$(git rev-parse -q --verify HEAD~1) || return 0
  fi
  # New checks or a new baseline: every source again.
  if [[ -n $(git diff --name-only "$base" -- .clang-tidy "$baseline") ]]; then return 0; fi
  echo "$base"
}
if [[ $changed_base == auto ]]; then
  changed_base=$(auto_base)
  [[ -n $changed_base ]] || echo "tidy-check.sh: a whole run"
fi

if [[ -n $changed_base ]]; then
  base=$(git merge-base "$changed_base" HEAD)
  echo "tidy-check.sh: the sources changed since $(git rev-parse --short "$base")"
  mapfile -t changed < <(git diff --name-only "$base" -- '*.cpp' '*.h'; git ls-files --others --exclude-standard -- '*.cpp' '*.h')
  selected=()
  for unit in "${units[@]}"; do
    for file in "${changed[@]}"; do
      if [[ $file == "$unit" ]] ||
         { [[ $file == *.h ]] && grep -q "^#include \"$(basename "$file")\"" "$unit"; }; then
        selected+=("$unit")
        break
      fi
    done
  done
  units=("${selected[@]+"${selected[@]}"}")
elif ((${#sources[@]})); then
  units=("${sources[@]}")
fi
if ((update)) && { [[ -n $changed_base ]] || ((${#sources[@]})); }; then
  echo "tidy-check.sh: --update-baseline needs a whole run" >&2
  exit 2
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo "tidy-check.sh: ${#units[@]} sources"
status=0
if ((${#units[@]})); then
  # The compile commands are the compiler's: clang does not know all its warning options,
  # and the compiler's warnings (made errors by FOLIOS_WERROR) are the build's business.
  printf '%s\n' "${units[@]}" |
    xargs -P "${TIDY_JOBS:-2}" -I{} sh -c \
      'clang-tidy -p "$1" --quiet --extra-arg=-Wno-unknown-warning-option --extra-arg=-Wno-error "$2" > "$3/$(echo "$2" | tr / _).log" 2>&1' \
      _ "$build" {} "$out" || status=$?
fi
# clang-tidy fails only when a source does not compile: its errors are findings too.
if ((status)); then
  echo "tidy-check.sh: clang-tidy failed on a source:" >&2
  grep -h -E ': (error|fatal error):' "$out"/*.log >&2 || true
fi

# file:check:message of every finding, sorted; a header seen from several
# sources is counted once per place.
cat "$out"/*.log 2> /dev/null |
  sed -n -E 's/^([^ :]+):([0-9]+):([0-9]+): (warning|error): (.*) \[([^]]+)\]$/\1:\2:\3|\6|\5/p' |
  sort -u |
  while IFS='|' read -r place check message; do
    file=${place%%:*}
    file=$(realpath -m --relative-to="$root" "$file")
    printf '%s:%s:%s\t%s\n' "$file" "$check" "$message" "$place"
  done | sort > "$out/found"
cut -f1 "$out/found" > "$out/keys"

if ((update)); then
  {
    echo "# Findings of scripts/tidy-check.sh not mended yet: file:check:message, one"
    echo "# line per finding. Mend one and take its line out; never add a line by hand."
    cat "$out/keys"
  } > "$baseline"
  echo "tidy-check.sh: $(wc -l < "$out/keys") findings written to $baseline"
  exit $status
fi

grep -v -e '^#' -e '^$' "$baseline" | sort > "$out/baseline" || true
# New: a finding seen more often than the baseline holds it.
new=$(python3 - "$out/found" "$out/baseline" << 'EOF'
import collections, sys
found = [line.rstrip("\n").split("\t") for line in open(sys.argv[1])]
allowed = collections.Counter(line.rstrip("\n") for line in open(sys.argv[2]))
seen = collections.Counter(key for key, _ in found)
for key, place in found:
    if seen[key] > allowed[key]:
        print(f"{place}: {key.split(':', 2)[2]} [{key.split(':', 2)[1]}]")
EOF
)
if [[ -n $new ]]; then
  echo "New clang-tidy findings (mend them; the baseline is for old code only):"
  echo "$new"
  status=1
fi
if [[ -z $changed_base ]] && ((${#sources[@]} == 0)); then
  gone=$(comm -23 "$out/baseline" <(sort "$out/keys") | uniq)
  if [[ -n $gone ]]; then
    echo "Mended, take these lines out of $baseline:"
    echo "$gone"
  fi
fi
((status)) || echo "tidy-check.sh: no new findings"
exit $status
