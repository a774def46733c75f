#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop needs: every file in place,
# the desktop entry and the metainfo valid, the installed command starting the program in its
# installed application folder, and an uninstall that leaves the user's lists alone.
# Usage: check_install.sh <build-folder>
set -euo pipefail
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
id=org.keldara.Keldara

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/keldara
    share/keldara/keldara
    share/applications/$id.desktop
    share/metainfo/$id.metainfo.xml
    share/icons/hicolor/scalable/apps/$id.svg
)
for size in 16 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for f in "${expected[@]}"; do
    [[ -e "$prefix/$f" ]] || { echo "missing after install: $f" >&2; exit 1; }
done
for size in 16 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "$size x $size" ||
        { echo "icon of size $size is not $size pixels" >&2; exit 1; }
done

desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null
grep -qx "Exec=\"$prefix/bin/keldara\"" "$prefix/share/applications/$id.desktop"

# The installed command starts the program, whose application folder is the installed one.
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=offscreen
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
"$prefix/bin/keldara" &
pid=$!
for _ in $(seq 1 100); do
    [[ -e "$prefix/share/keldara/QELFileList.txt" ]] && break
    sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
[[ -e "$prefix/share/keldara/QELFileList.txt" ]] ||
    { echo "the installed command did not start the program in its folder" >&2; exit 1; }

# An uninstall removes what was installed and nothing the program made.
cmake -DMANIFEST="$build/install_manifest.txt" -P "$(dirname "$0")/../../cmake/Uninstall.cmake" >/dev/null
for f in "${expected[@]}"; do
    [[ ! -e "$prefix/$f" ]] || { echo "left after uninstall: $f" >&2; exit 1; }
done
[[ -e "$prefix/share/keldara/QELFileList.txt" ]] ||
    { echo "the uninstall removed the user's list" >&2; exit 1; }
echo "install check passed"
