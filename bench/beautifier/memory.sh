#!/usr/bin/env bash
# Peak memory of folios reformat against the size of what it must hold:
# nesting depth (braces, parentheses) from 10^3 to 10^6 levels, and the
# length of one line (code, comments, braces) from 10^5 to 10^7 bytes, for a
# file and for standard input. Prints the peak resident set size of each run
# and its growth over a one-line file measured in the same run, per level or
# per byte.
#
#   bench/beautifier/memory.sh FOLIOS [MAX_EXPONENT_DEPTH [MAX_EXPONENT_LINE]]
set -euo pipefail
folios=$(realpath "$1")
max_depth=${2:-6}
max_line=${3:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FOLIOS_CONFIG_DIR=$work/config
cd "$work"

# Generates a text of the given shape and size into the named file.
generate() {  # KIND N FILE
  python3 - "$1" "$2" "$3" <<'PY'
import sys
kind, n, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
with open(path, "w") as out:
    if kind == "brace-depth":
        out.write("{\n" * n + "}\n" * n)
    elif kind == "paren-depth":
        out.write("x = f(\n" * n + ");\n" * n)
    elif kind == "code-line":
        out.write(("x = a + b; " * (n // 11 + 1))[:n] + "\n")
    elif kind == "comment-line":
        out.write(("/* c */ x; " * (n // 11 + 1))[:n] + "\n")
    elif kind == "open-comment-line":
        out.write("/*" * (n // 2) + "\n")
    elif kind == "brace-line":
        out.write("{" * n + "\n")
PY
}

# Peak resident set size in KB of folios reformat on FILE, as a file or
# from standard input.
peak() {  # MODE FILE
  local mode=$1 file=$2
  cp "$file" subject.c
  if [[ $mode == file ]]; then
    /usr/bin/time -f %M -o rss.txt "$folios" reformat --set m_spaces_to_indent=0 subject.c > /dev/null 2>&1 || true
  else
    /usr/bin/time -f %M -o rss.txt "$folios" reformat --set m_spaces_to_indent=0 - < subject.c > /dev/null 2>&1 || true
  fi
  tail -1 rss.txt
}

echo "int x;" > base.c
base_file=$(peak file base.c)
base_stdin=$(peak stdin base.c)
echo "baseline (one line): file ${base_file} KB, standard input ${base_stdin} KB"
printf '%-18s %10s %12s %12s %12s %12s\n' shape size "file KB" "bytes/unit" "stdin KB" "bytes/unit"
run() {  # KIND N
  generate "$1" "$2" input.c
  local f s
  f=$(peak file input.c)
  s=$(peak stdin input.c)
  printf '%-18s %10d %12d %12.1f %12d %12.1f\n' "$1" "$2" "$f" "$(bc -l <<< "($f - $base_file) * 1024 / $2")" \
    "$s" "$(bc -l <<< "($s - $base_stdin) * 1024 / $2")"
}
for ((e = 3; e <= max_depth; ++e)); do
  n=$((10 ** e))
  run brace-depth "$n"
  run paren-depth "$n"
done
for ((e = 5; e <= max_line; ++e)); do
  n=$((10 ** e))
  run code-line "$n"
  run comment-line "$n"
  run open-comment-line "$n"
  run brace-line "$n"
done
