#!/usr/bin/env bash
# Runs beautifier_oracle over the googletest sources, the libstdc++ headers,
# part of the JDK's Java sources and part of the Linux sources (lib/ and
# kernel/, C), under sets of settings and named styles.
#   oracle-real-code.sh ORACLE SAMPLE WORK_DIR
set -euo pipefail
oracle=$1
sample=$2
work=$3
mkdir -p "$work"

# The newest of each that Debian has installed, wherever its version puts
# it; without one the oracle is skipped (CTest's code 77), never failed.
newest() { printf '%s\n' "$@" | sort -V | tail -n 1; }
gtest=/usr/src/googletest
cxx=$(newest /usr/include/c++/*/vector)
cxx=${cxx%/vector}
# Debian's JDK sources (openjdk-N-source) before any other JDK's.
jdk=$(newest /usr/lib/jvm/java-*-openjdk-*/lib/src.zip)
[[ -e $jdk ]] || jdk=$(newest /usr/lib/jvm/*/lib/src.zip)
linux_tarball=$(newest /usr/src/linux-source-*.tar.xz)
for need in "$gtest" "$cxx" "$jdk" "$linux_tarball"; do
  if [[ ! -e $need ]]; then
    echo "skipped: $need not found (scripts/install-deps.sh installs googletest, g++," \
      "openjdk-17-source and linux-source-6.1)"
    exit 77
  fi
done
echo "sources: $gtest, $cxx, $jdk, $linux_tarball"
java=$work/java
if [[ ! -f $java/.done ]]; then
  rm -rf "$java"
  mkdir -p "$java"
  unzip -q -o "$jdk" 'java.base/java/util/*' 'java.base/java/lang/*' 'java.base/java/io/*' \
    'java.base/java/nio/*' 'java.base/java/time/*' 'java.base/java/net/*' -d "$java"
  touch "$java/.done"
fi
linux=$work/linux
if [[ ! -f $linux/.done ]]; then
  rm -rf "$linux"
  mkdir -p "$linux"
  top=$(basename "$linux_tarball" .tar.xz)
  tar xJf "$linux_tarball" -C "$linux" --wildcards "$top/lib/*" "$top/kernel/*"
  touch "$linux/.done"
fi
if ((sample > 1)); then
  echo "sanitized build: every ${sample}th file only"
fi

status=0
settings_sets=(
  ""
  "--set m_brace_style=1"
  "--set m_indent_with_tabs=1"
  "--set m_c_with_code=40 --set m_c_without_code=8"
  "--set m_remove_comments=1"
  "--style kr"
  "--style allman"
  "--style java"
  "--style linux"
  "--style gnu"
  "--style java --set m_continuation=2 --set m_function_brace=1"
  "--style google --set m_indent_access=3 --set m_indent_case=0"
  "--style classic --set m_indent_access=1 --set m_continuation=1 --set m_cuddle_else=1 --set m_brace_style=1"
  "--set m_keep_trailing_comments=1 --set m_c_with_code=40 --set m_indent_with_tabs=1 --set m_brace_style=1"
  "--set m_comments_at_code_indent=1 --set m_c_without_code=8 --set m_brace_style=1 --set m_continuation=1"
)
for set in "${settings_sets[@]}"; do
  # shellcheck disable=SC2086
  "$oracle" $set --sample "$sample" "$gtest" || status=1
  # shellcheck disable=SC2086
  "$oracle" $set --sample "$sample" --extensionless "$cxx" || status=1
  # shellcheck disable=SC2086
  "$oracle" $set --sample "$sample" "$java" || status=1
  # shellcheck disable=SC2086
  "$oracle" $set --sample "$sample" "$linux" || status=1
done
if ((status)); then echo "Token oracle: FAILED"; else echo "Token oracle: passed"; fi
exit $status
