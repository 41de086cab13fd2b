#!/usr/bin/env bash
# Runs the tests of file permissions once more as the user nobody. As root
# the kernel grants every read and write, so these tests would skip or take
# their root branch; here no test may skip. The test programs and the data
# files beside them are copied to a directory nobody can reach, wherever
# the build tree is.
#   run_unprivileged.sh BIN_DIR PROGRAM FILTER [PROGRAM FILTER]...
set -uo pipefail
bin_dir=$1
shift
if ((EUID != 0)); then
  echo "Not run as root: the permission tests ran unprivileged with the others."
  exit 77
fi
if ! command -v setpriv > /dev/null; then
  echo "FAIL: setpriv (util-linux) is missing"
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir -p "$work/bin" "$work/home"
cp -r "$bin_dir/../data" "$work/data" 2> /dev/null || mkdir "$work/data"
chown nobody "$work/home"
status=0
while (($# >= 2)); do
  program=$1 filter=$2
  shift 2
  cp "$bin_dir/$program" "$work/bin/"
  log=$work/home/$program.log
  (cd "$work/home" &&
    HOME=$work/home TMPDIR=$work/home setpriv --reuid=65534 --regid=65534 --clear-groups \
      "$work/bin/$program" --gtest_filter="$filter" > "$log" 2>&1)
  rc=$?
  ran=$(grep -c '^\[       OK \]' "$log")
  if ((rc != 0)); then
    cat "$log"
    echo "FAIL: $program failed as nobody"
    status=1
  elif grep -q '^\[  SKIPPED \]' "$log"; then
    grep '^\[  SKIPPED \]' "$log"
    echo "FAIL: $program skipped tests as nobody"
    status=1
  elif ((ran == 0)); then
    echo "FAIL: $program ran no test for '$filter'"
    status=1
  else
    echo "$program: $ran tests passed as nobody"
  fi
done
exit $status
