#!/usr/bin/env bash
# Loads the folios completion into bash with the bash-completion helpers and
# asks it to complete command lines, as bash does when TAB is pressed.
#   completion_test.sh COMPLETION_FILE BIN_DIR
# BIN_DIR holds the folios to complete for; it goes first on PATH.
set -uo pipefail
completion=$1
export PATH="$(cd "$2" && pwd):$PATH"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export FOLIOS_CONFIG_DIR=$scratch/config FOLIOS_DATA_DIR=$scratch/data HOME=$scratch
unset FOLIOS_SHARE_DIR XDG_CONFIG_HOME XDG_DATA_HOME

# shellcheck source=/dev/null
source /usr/share/bash-completion/bash_completion || { echo "FAIL: no bash-completion"; exit 1; }
# shellcheck source=/dev/null
source "$completion" || { echo "FAIL: $completion does not load"; exit 1; }

failures=0
# expect LINE WANTED...: completing at the end of LINE offers exactly WANTED.
# The line is split into words at blanks and at "=", as bash splits it.
expect() {
  local line=$1
  shift
  local -a words
  read -ra words <<<"${line//=/ = }"
  [[ $line == *" " ]] && words+=("")
  local function
  function=$(complete -p "${words[0]}" 2>/dev/null | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
  if [[ -z $function ]]; then
    echo "FAIL: loading $completion registers no completion for ${words[0]}"
    failures=$((failures + 1))
    return
  fi
  COMP_LINE=$line COMP_POINT=${#line} COMP_WORDS=("${words[@]}") COMP_CWORD=$((${#words[@]} - 1))
  COMPREPLY=()
  "$function" "${words[0]}" "${words[-1]}" "${words[-2]:-}" 2>/dev/null
  local got want
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' ')
  want=$(printf '%s\n' "$@" | sed '/^$/d' | sort | tr '\n' ' ')
  if [[ $got != "$want" ]]; then
    echo "FAIL: '$line<TAB>' offers [${got% }], expected [${want% }]"
    failures=$((failures + 1))
  fi
}

# Commands, from the program's own list.
expect "folios li" listing
expect "folios " doc files listing reformat settings
expect "folios --v" --version

# Options, from each command's --help.
expect "folios listing --se" --set --settings
expect "folios listing --" --output --format --set --types --subfolders --no-subfolders --files-from --null \
  --settings --no-project-settings --quiet --assume-filename
expect "folios listing --format " rtf html
expect "folios listing --format=h" html
expect "folios files --no" --no-subfolders --no-project-settings
expect "folios files --p" --paths
expect "folios reformat --s" --set --settings --stdout --style --subfolders --suffix
expect "folios reformat --style " classic kr allman java linux gnu google
expect "folios reformat --style=g" gnu google
expect "folios reformat --set m_cud" m_cuddle_else=
expect "folios reformat --set m_ke" m_keep_trailing_comments=
expect "folios reformat --set m_comments_" m_comments_at_code_indent=
expect "folios reformat --t" --types
expect "folios reformat --c" --check
expect "folios reformat --backup " orig none
expect "folios reformat --backup=n" none
expect "folios doc -" -a -c -d -e -f -l -n -o -r -s -t -u -v -x --help -q --quiet --files-from --null --settings \
  --no-project-settings

# Setting names after --set (bare names serve for every key) and search types.
expect "folios listing --set m_brace" m_brace_style=
expect "folios reformat --set m_header_f" m_header_fontsize= m_header_forecolor=
expect "folios listing --set=m_startat" m_startat=
expect "folios listing --set m_startat=" ""
expect "folios files --types cpp,j" cpp,java
expect "folios listing --types=b" bas
expect "folios doc -r " doc help

# File names by the types each command reads; directories always.
mkdir -p "$scratch/src/sub"
touch "$scratch/src/"{a.c,b.java,c.bas,d.txt,E.CPP,f.hpp,g.vbp,h.dsp,i.fmt,j.rtf,k.frm,l.html,m.cc,n.tcc,o.ini}
cd "$scratch/src" || exit 1
expect "folios listing " a.c b.java c.bas E.CPP f.hpp g.vbp h.dsp k.frm m.cc n.tcc sub
expect "folios files " a.c b.java c.bas E.CPP f.hpp g.vbp h.dsp k.frm m.cc n.tcc sub
expect "folios reformat " a.c b.java E.CPP f.hpp g.vbp h.dsp m.cc n.tcc sub
expect "folios reformat --settings " o.ini sub
expect "folios doc " a.c b.java c.bas E.CPP f.hpp k.frm m.cc n.tcc sub
expect "folios doc -f " i.fmt sub
expect "folios listing -o " j.rtf l.html sub
expect "folios listing --output=" j.rtf l.html sub
expect "folios-gui " a.c b.java c.bas E.CPP f.hpp g.vbp h.dsp k.frm m.cc n.tcc sub
expect "folios-gui --h" --help

# The settings command: actions, keys, and names as 'settings list' prints them.
expect "folios settings " get list path reset set
expect "folios settings get m_brace" m_brace_style
expect "folios settings set doc/m_code_b" doc/m_code_back_color doc/m_code_bold
expect "folios settings --key doc get m_code_b" m_code_back_color m_code_bold
expect "folios settings get --key template_kw m_str" m_strbackcolor m_strcolor
expect "folios settings --key " doc main template_kw
expect "folios settings get m_brace_style " ""
expect "folios settings reset " ""

# Names come from the program answering, so a setting it adds completes at once.
mkdir -p "$scratch/newer"
cat >"$scratch/newer/folios" <<'EOS'
#!/bin/sh
[ "$1 $2" = "settings list" ] && printf 'm_new_setting=1\ndoc/m_other=2\n'
EOS
chmod +x "$scratch/newer/folios"
PATH="$scratch/newer:$PATH" expect "folios listing --set m_new" m_new_setting=
PATH="$scratch/newer:$PATH" expect "folios settings get doc/m_o" doc/m_other

if ((failures)); then
  echo "$failures completion(s) wrong"
  exit 1
fi
echo "Every completion as expected."
