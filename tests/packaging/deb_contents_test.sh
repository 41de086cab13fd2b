#!/usr/bin/env bash
# Checks what the Debian package holds and declares:
#   deb_contents_test.sh OUT_DIR SOURCE_DIR VERSION WITH_GUI(0|1)
# OUT_DIR is what deb_build.sh left.
set -uo pipefail
out=$1
source_dir=$2
version=$3
with_gui=$4
root=$out/root
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

field() { dpkg-deb -f "$out/lumentra-folios.deb" "$1"; }

# The name, version and architecture Debian tools expect.
arch=$(dpkg --print-architecture)
name=$(readlink "$out/lumentra-folios.deb")
[[ $name == "lumentra-folios_${version}_${arch}.deb" ]] ||
  fail "the package file is $name, expected lumentra-folios_${version}_${arch}.deb"
[[ $(field Package) == lumentra-folios ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', expected $version"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture is '$(field Architecture)'"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
[[ -n $(field Description) ]] || fail "no Description"
changelog_version=$(sed -n '1s/^lumentra-folios (\([^)]*\)).*/\1/p' "$source_dir/packaging/changelog")
[[ $changelog_version == "$version" ]] ||
  fail "packaging/changelog's newest entry is for '$changelog_version', the package is $version"

# The libraries the programs link are real dependencies.
depends=" $(field Depends | sed 's/ *([^)]*)//g; s/,/ /g') "
wanted=(libc6 libstdc++6 libgcc-s1)
((with_gui)) && wanted+=(libqt6core6 libqt6gui6 libqt6widgets6)
for package in "${wanted[@]}"; do
  [[ $depends == *" $package "* ]] || fail "Depends lacks $package: $(field Depends)"
done

# Everything the package promises, where Debian looks for it.
expected=(
  usr/bin/folios
  usr/share/man/man1/folios.1.gz
  usr/share/bash-completion/completions/folios
  usr/share/doc/lumentra-folios/copyright
  usr/share/doc/lumentra-folios/changelog.gz
  usr/share/lumentra-folios/pre-commit
)
if ((with_gui)); then
  expected+=(
    usr/bin/folios-gui
    usr/share/bash-completion/completions/folios-gui
    usr/share/man/man1/folios-gui.1.gz
    usr/share/applications/lumentra-folios.desktop
    usr/share/icons/hicolor/scalable/apps/lumentra-folios.svg
    usr/share/metainfo/org.lumentra.folios.metainfo.xml
    usr/share/lumentra-folios/translations/folios_de.qm
  )
  [[ $(field Recommends) == *qt6-translations-l10n* ]] ||
    fail "Recommends lacks qt6-translations-l10n (Qt's own texts): '$(field Recommends)'"
fi
for file in "${expected[@]}"; do
  [[ -f $root/$file ]] || fail "the package does not hold /$file"
done
# Every shipped data file, unchanged.
while IFS= read -r -d '' file; do
  relative=${file#"$source_dir/data/"}
  cmp -s "$file" "$root/usr/share/lumentra-folios/$relative" ||
    fail "/usr/share/lumentra-folios/$relative is missing or differs from data/$relative"
done < <(find "$source_dir/data" -type f -print0)

# Nothing outside /usr, every file as dpkg listed it, sane permissions.
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[[ -z $outside ]] || fail "files outside /usr: $outside"
[[ ! -e $root/usr/local ]] || fail "the package installs into /usr/local"
(cd "$root" && md5sum -c --quiet ../control/md5sums) || fail "the md5sums do not match the contents"
odd=$(cd "$root" && find . \( -type f ! -perm 0644 ! -perm 0755 \) -o \( -type d ! -perm 0755 \))
[[ -z $odd ]] || fail "unusual permissions: $odd"
for program in "$root"/usr/bin/*; do
  [[ -x $program ]] || fail "$program is not executable"
  if readelf -S --wide "$program" | grep -qE '\.(symtab|debug_info)'; then
    fail "$program is not stripped"
  fi
done

# Compressed files carry no time stamp, so that rebuilds give the same package.
while IFS= read -r -d '' file; do
  stamp=$(od -An -tu4 -j4 -N4 "$file" | tr -d ' ')
  [[ $stamp == 0 ]] || fail "${file#"$root"} carries a time stamp"
done < <(find "$root" -name '*.gz' -print0)
zcat "$root/usr/share/doc/lumentra-folios/changelog.gz" | cmp -s - "$source_dir/packaging/changelog" ||
  fail "changelog.gz is not packaging/changelog"

# The desktop entry and its metadata are valid and name what is shipped.
if ((with_gui)); then
  desktop=$root/usr/share/applications/lumentra-folios.desktop
  metainfo=$root/usr/share/metainfo/org.lumentra.folios.metainfo.xml
  desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
  appstreamcli validate --no-net "$metainfo" > "$out/appstream.log" 2>&1 ||
    { cat "$out/appstream.log"; fail "the AppStream metadata is not valid"; }
  grep -q "<launchable type=\"desktop-id\">lumentra-folios.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch lumentra-folios.desktop"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [[ -f $root/usr/share/icons/hicolor/scalable/apps/$icon.svg ]] ||
    fail "the desktop entry's icon '$icon' is not shipped"
  exec_line=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [[ -x $root/usr/bin/$exec_line ]] || fail "the desktop entry runs '$exec_line', which is not shipped"
fi

if ((failures)); then
  echo "$failures problem(s) with $name"
  exit 1
fi
echo "$name: $(du -k "$out/$name" | cut -f1) KB, Depends: $(field Depends)"
