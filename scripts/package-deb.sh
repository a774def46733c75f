#!/usr/bin/env bash
# Builds the Debian package keldara_<version>_<arch>.deb, which installs Keldara for every user
# of the machine (the component "machine" of the install rules: cmake/InstallMachineWide.cmake).
# Its dependencies are those of the libraries the program links (dpkg-shlibdeps); the control
# file, changelog and copyright come from resources/debian/, the manual page from resources/man/.
# Usage: scripts/package-deb.sh [--build-dir DIR] [--out DIR]
#   Without --build-dir the release preset is configured and built first (build/release).
#   The package is written to --out (default: the build folder); its path is the last line
#   printed. Exits 3 when a packaging tool (dpkg-dev) is missing.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=""
out=""
while (($#)); do
    case "$1" in
    --build-dir) build=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *)
        echo "usage: scripts/package-deb.sh [--build-dir DIR] [--out DIR]" >&2
        exit 2
        ;;
    esac
done
for tool in dpkg-deb dpkg-shlibdeps dpkg-gencontrol dpkg-parsechangelog strip; do
    command -v "$tool" >/dev/null ||
        { echo "package-deb: $tool is not installed (Debian's dpkg-dev and binutils)" >&2; exit 3; }
done

if [[ -z $build ]]; then
    (cd "$src" && cmake --preset release >/dev/null &&
        cmake --build --preset release --target keldara desktop_icons)
    build=$src/build/release
fi
build=$(cd "$build" && pwd)
out=$(mkdir -p "${out:-$build}" && cd "${out:-$build}" && pwd)

# The package's version is the program's, with the packaging's revision.
version=$(sed -n 's/^project(Keldara VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
debversion=$(dpkg-parsechangelog -l "$src/resources/debian/changelog" -S Version)
if [[ ${debversion%-*} != "$version" ]]; then
    echo "package-deb: the newest entry of resources/debian/changelog is $debversion, the" \
        "program is $version: add an entry for it" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/debian"
cp "$src/resources/debian/control" "$src/resources/debian/changelog" "$work/debian/"
root=$work/debian/keldara
DESTDIR=$root cmake --install "$build" --component machine --prefix /usr >/dev/null
[[ -x $root/usr/lib/keldara/keldara ]] ||
    { echo "package-deb: $build holds no program to install (build the keldara target)" >&2; exit 1; }

# As Debian's own packages are made: no symbols in the program, compressed manual and changelog,
# files of root, readable by all, written by none but root.
programs=("$root/usr/lib/keldara/keldara")
[[ -x $root/usr/lib/keldara/keldara-search ]] && programs+=("$root/usr/lib/keldara/keldara-search")
strip --remove-section=.comment --remove-section=.note --strip-unneeded "${programs[@]}"
gzip -9nf "$root/usr/share/man/man1/keldara.1"
doc=$root/usr/share/doc/keldara
mkdir -p "$doc"
cp "$src/resources/debian/copyright" "$doc/copyright"
gzip -9nc "$src/resources/debian/changelog" >"$doc/changelog.Debian.gz"
mkdir -p "$root/usr/share/lintian/overrides"
cp "$src/resources/debian/lintian-overrides" "$root/usr/share/lintian/overrides/keldara"
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "${programs[@]}"

(
    cd "$work"
    mkdir -p debian/keldara/DEBIAN
    dpkg-shlibdeps -Tdebian/keldara.substvars "${programs[@]#"$work/"}"
    dpkg-gencontrol -pkeldara -Tdebian/keldara.substvars -Pdebian/keldara
)
(cd "$root" && find usr -type f | LC_ALL=C sort | xargs -d '\n' md5sum >DEBIAN/md5sums)
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

arch=$(sed -n 's/^Architecture: //p' "$root/DEBIAN/control")
package=$out/keldara_${debversion}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$package" >/dev/null
echo "$package"
