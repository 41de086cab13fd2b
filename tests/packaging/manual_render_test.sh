#!/usr/bin/env bash
# Renders manual pages the way the Debian checks do and fails on any warning
# of the formatter, a leftover placeholder, or a missing standard section.
#   manual_render_test.sh VERSION PAGE...
set -uo pipefail
version=$1
shift
status=0
for page in "$@"; do
  if [[ ! -s $page ]]; then
    echo "FAIL: $page is missing or empty"
    status=1
    continue
  fi
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  if [[ -n $warnings ]]; then
    echo "FAIL: $page renders with warnings:"
    echo "$warnings"
    status=1
  fi
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null | col -bx)
  for heading in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" "SEE ALSO"; do
    # folios(1) keeps its options under GLOBAL OPTIONS and each command.
    [[ $heading == OPTIONS ]] && grep -q '^GLOBAL OPTIONS$' <<<"$text" && continue
    grep -qx "$heading" <<<"$text" || { echo "FAIL: $page has no section $heading"; status=1; }
  done
  if grep -n '@[A-Z_]*@' <<<"$text"; then
    echo "FAIL: $page keeps a placeholder the build should have filled in"
    status=1
  fi
  footer=$(tail -n 1 <<<"$text")
  [[ $footer == *"Lumentra Folios $version"* ]] ||
    { echo "FAIL: $page is not marked as version $version: '$footer'"; status=1; }
done
((status == 0)) && echo "Rendered $# pages without warnings."
exit $status
