#!/usr/bin/env bash
# Runs the programs of the unpacked Debian package on the samples: they must
# find their data in usr/share/lumentra-folios of the package and write what
# the programs of the build tree write.
#   deb_programs_test.sh OUT_DIR SOURCE_DIR BUILD_BIN_DIR WITH_GUI(0|1)
set -uo pipefail
out=$1
source_dir=$2
built=$(cd "$3" && pwd)/folios
with_gui=$4
root=$(cd "$out/root" && pwd)
packaged=$root/usr/bin/folios
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export FOLIOS_CONFIG_DIR=$scratch/config FOLIOS_DATA_DIR=$scratch/data HOME=$scratch
unset FOLIOS_SHARE_DIR XDG_CONFIG_HOME XDG_DATA_HOME
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# run NAME PROGRAM ARGUMENT...: runs in a fresh copy of the samples, keeping
# the exit status, standard output and standard error under $scratch/NAME.
run() {
  local name=$1
  shift
  rm -rf "$scratch/work"
  cp -r "$source_dir/samples" "$scratch/work"
  (cd "$scratch/work" && "$@" > "$scratch/$name.out" 2> "$scratch/$name.err")
  echo $? > "$scratch/$name.status"
  [[ -f $scratch/work/result.rtf ]] && mv "$scratch/work/result.rtf" "$scratch/$name.rtf"
  return 0
}

# The unpacked program reads the data files it ships.
data=$root/usr/share/lumentra-folios
for setting in m_cfiles:C-Keywords.lfx m_javafiles:JAVA-Keywords.lfx m_vbfiles:VB-Keywords.lfx; do
  value=$("$packaged" settings get "${setting%%:*}")
  [[ $value == "$data/${setting#*:}" ]] ||
    fail "the packaged folios takes ${setting%%:*} from '$value', not from $data"
done

# compare NAME [DOCUMENT]: the packaged and the built program both succeeded
# and printed, and wrote when DOCUMENT is given, the same.
compare() {
  local name=$1 who
  for who in packaged built; do
    [[ $(cat "$scratch/$who-$name.status") == 0 ]] ||
      fail "$who folios $name failed: $(cat "$scratch/$who-$name.err")"
    [[ -s $scratch/$who-$name.err ]] && fail "$who folios $name complained: $(cat "$scratch/$who-$name.err")"
  done
  cmp -s "$scratch/packaged-$name.out" "$scratch/built-$name.out" ||
    fail "packaged and built folios $name print different output"
  if [[ ${2:-} == document ]]; then
    cmp "$scratch/packaged-$name.rtf" "$scratch/built-$name.rtf" ||
      fail "packaged and built folios $name write different documents"
    [[ $(head -c 6 "$scratch/packaged-$name.rtf") == '{\rtf1' ]] ||
      fail "packaged folios $name writes no RTF document"
  fi
}

types=--types=cpp,h,java,frm,bas,cls
for who in packaged built; do
  program=$packaged
  [[ $who == built ]] && program=$built
  run "$who-listing" "$program" listing "$types" -o result.rtf .
  run "$who-doc" sh -c '"$0" doc -o result.rtf documented/*/*.* | sed "s|$PWD/||g"' "$program"
  run "$who-reformat" sh -c '"$0" reformat - < java/Inventory.java' "$program"
done
compare listing document
compare doc document
compare reformat
for sample in ringbuf.c shapes.cpp Inventory.java Accounts.bas frmMain.frm; do
  grep -q "$sample" "$scratch/packaged-listing.rtf" 2>/dev/null ||
    fail "the packaged listing does not hold $sample"
done
[[ -s $scratch/packaged-reformat.out ]] || fail "packaged folios reformat - printed nothing"

if ((with_gui)); then
  # Loading the desktop program resolves its Qt libraries.
  usage=$("$root/usr/bin/folios-gui" --help 2>&1) || fail "packaged folios-gui --help failed: $usage"
  [[ $usage == "Usage: folios-gui"* ]] || fail "packaged folios-gui --help printed: $usage"
fi

if ((failures)); then
  echo "$failures problem(s) with the packaged programs"
  exit 1
fi
echo "The packaged programs find their data and write what the built ones write."
