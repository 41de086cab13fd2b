#!/usr/bin/env bash
# Reformats real C (user-space programs and libraries from the Linux sources
# that Debian ships in linux-source-6.1) and checks that the compiler sees the
# same program before and after: the object files must be identical, or, where
# a file compiles line numbers into its object, the preprocessed token streams
# must be. Also reformats the output once more and lists the files that change
# again (not a failure; the list goes to WORK/unstable.txt).
#
# With ORACLE (tests/beautifier's beautifier_oracle), the token checker also
# runs over every file reformatted, with the same settings.
#
# Usage: meaning-test-linux.sh FOLIOS_BINARY FILE_LIST WORK_DIR [ORACLE]
set -euo pipefail

folios=$(realpath "$1")
list=$(realpath "$2")
work=$3
oracle=${4:+$(realpath "$4")}
tarball=/usr/src/linux-source-6.1.tar.xz
if [[ ! -f $tarball ]]; then
  echo "missing $tarball (scripts/install-deps.sh installs linux-source-6.1)" >&2
  exit 1
fi
mkdir -p "$work"
work=$(realpath "$work")

src=$work/src/linux-source-6.1
if [[ ! -f $work/src/.done ]]; then
  rm -rf "$work/src"
  mkdir -p "$work/src"
  tar xJf "$tarball" -C "$work/src" --wildcards 'linux-source-6.1/scripts/*' \
    'linux-source-6.1/tools/*' 'linux-source-6.1/lib/*' 'linux-source-6.1/include/*'
  touch "$work/src/.done"
fi

flags=(-c -O1 -g0 -DNDEBUG -w -D_GNU_SOURCE -Itools/include -Iscripts/include -Itools/lib
       -Itools/include/uapi -Iscripts/dtc/libfdt)

tokens() {  # the C tokens of a preprocessed file, one per line
  python3 - "$1" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="latin-1").read()
tok = re.compile(r'''\s+|"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*'|[A-Za-z_$][A-Za-z0-9_$]*|\.?[0-9](?:[eEpP][+-]|[A-Za-z0-9_.])*|%:%:|\.\.\.|<<=|>>=|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%&|^!=<>]=|##|.''', re.S)
for m in tok.finditer(text):
    if not m.group(0).isspace():
        print(m.group(0))
PY
}

check_config() {  # NAME SETTINGS...
  local name=$1; shift
  local before=$work/$name/before after=$work/$name/after
  rm -rf "$work/$name"
  mkdir -p "$before" "$after"
  for d in scripts tools lib include; do
    cp -a "$src/$d" "$before/"
    cp -a "$src/$d" "$after/"
  done
  local files=()
  mapfile -t files < <(grep -v '^#' "$list" | while read -r f; do [[ -f $before/$f ]] && echo "$f"; done)
  # Every .c and .h beside a listed file is reformatted, headers included.
  local targets=()
  mapfile -t targets < <(for f in "${files[@]}"; do dirname "$f"; done | sort -u |
    while read -r d; do find "$after/$d" -maxdepth 1 -name '*.[ch]'; done | sort -u)
  export FOLIOS_CONFIG_DIR=$work/$name/config
  mkdir -p "$FOLIOS_CONFIG_DIR"
  local sets=()
  for s in "$@"; do sets+=(--set "$s"); done
  "$folios" reformat "${sets[@]}" "${targets[@]}" > "$work/$name/report.txt"
  if [[ -n $oracle ]]; then
    "$oracle" "${sets[@]}" "${targets[@]/#$after/$before}" || return 1
  fi

  local same=0 same_tokens=0 skipped=0 failed=0
  : > "$work/$name/failures.txt"
  for f in "${files[@]}"; do
    local o=${f//\//_}.o
    if ! (cd "$before" && gcc "${flags[@]}" -I"$(dirname "$f")" -ffile-prefix-map="$before"=. "$f" \
          -o "$work/$name/$o.before" 2>/dev/null); then
      skipped=$((skipped + 1)); continue
    fi
    if ! (cd "$after" && gcc "${flags[@]}" -I"$(dirname "$f")" -ffile-prefix-map="$after"=. "$f" \
          -o "$work/$name/$o.after" 2>"$work/$name/$o.err"); then
      echo "$f: no longer compiles" >> "$work/$name/failures.txt"
      failed=$((failed + 1)); continue
    fi
    if cmp -s "$work/$name/$o.before" "$work/$name/$o.after"; then
      same=$((same + 1)); continue
    fi
    # Line numbers compiled in (__LINE__ in error macros) may differ; the
    # tokens, with every __LINE__ read as 0, may not.
    (cd "$before" && gcc -E -P -D__LINE__=0 "${flags[@]:1}" -I"$(dirname "$f")" "$f" > "$work/$name/$o.i.before")
    (cd "$after" && gcc -E -P -D__LINE__=0 "${flags[@]:1}" -I"$(dirname "$f")" "$f" > "$work/$name/$o.i.after")
    tokens "$work/$name/$o.i.before" > "$work/$name/$o.t.before"
    tokens "$work/$name/$o.i.after" > "$work/$name/$o.t.after"
    if cmp -s "$work/$name/$o.t.before" "$work/$name/$o.t.after"; then
      same_tokens=$((same_tokens + 1))
    else
      echo "$f: the compiler sees a different program" >> "$work/$name/failures.txt"
      failed=$((failed + 1))
    fi
  done

  # Stability: a second run over the output.
  local unstable=0
  : > "$work/$name/unstable.txt"
  for t in "${targets[@]}"; do
    if ! "$folios" reformat "${sets[@]}" - < "$t" | cmp -s - "$t"; then
      echo "${t#"$after"/}" >> "$work/$name/unstable.txt"
      unstable=$((unstable + 1))
    fi
  done

  echo "$name: ${#targets[@]} files reformatted; ${#files[@]} compiled: $same identical objects," \
       "$same_tokens identical token streams, $failed changed, $skipped skipped; $unstable change on a second run"
  if ((failed)); then cat "$work/$name/failures.txt"; return 1; fi
  rm -rf "$before" "$after" "$work/$name"/*.o.* # the trees are large; the lists stay
  if ((same + same_tokens < 100)); then echo "$name: too few files compiled to judge" >&2; return 1; fi
}

status=0
check_config defaults || status=1
check_config braces-tabs-columns m_brace_style=1 m_indent_with_tabs=1 m_c_with_code=40 m_c_without_code=2 \
  m_empty_lines=1 || status=1
check_config no-comments m_remove_comments=1 m_spaces_to_indent=2 || status=1
if ((status)); then echo "Meaning test: FAILED"; else echo "Meaning test: passed"; fi
exit $status
