# Shared by the bench scripts (sourced, not run).

# Says the load average before the run and whether the machine was quiet.
print_load() {
  echo "Load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)" \
       "($(awk '{ print ($1 < 0.5 ? "under 0.5: a quiet machine" : "not under 0.5: the machine is busy, figures are rougher") }' /proc/loadavg))"
}

# Prints the path of the earlier program for the 'before' figures: $BEFORE_BIN
# when set, else folios built once at commit BEFORE under BUILD and kept.
#   before_program BUILD BEFORE
before_program() {
  local build=$1 before=$2
  if [[ -n ${BEFORE_BIN:-} ]]; then
    echo "$BEFORE_BIN"
    return
  fi
  local dir=$build/before-$before
  [[ $dir == /* ]] || dir=$PWD/$dir
  if [[ ! -x $dir/build/bin/folios ]]; then
    echo "Building folios at $before for the 'before' figures..." >&2
    rm -rf "$dir" && mkdir -p "$dir/src"
    git archive "$before" | tar -x -C "$dir/src"
    cmake -S "$dir/src" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release \
      -DFOLIOS_BUILD_GUI=OFF -DFOLIOS_BUILD_TESTS=OFF -DFOLIOS_BUILD_BENCH=OFF > /dev/null
    cmake --build "$dir/build" --target folios -j2 > /dev/null
  fi
  echo "$dir/build/bin/folios"
}
