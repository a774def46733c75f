#!/usr/bin/env bash
# Installs a build for one user of a temporary home (~/.local) and checks what a desktop needs:
# every file in place, the desktop entry and the metainfo valid, the data files' types known to
# the desktop in any letter case and opened by the entry, one action per kind of new file, the
# installed command starting the program in its installed application folder, and an uninstall
# that leaves the user's lists alone and the types forgotten.
# Usage: check_install.sh <build-folder>
set -euo pipefail
build=$(cd "$1" && pwd)
home=$(mktemp -d)
prefix=$home/.local
trap 'rm -rf "$home"' EXIT
id=org.keldara.Keldara
fail() { echo "$*" >&2; exit 1; }

# The desktop as this user sees it: the system's types and entries, then the user's own.
export HOME=$home XDG_DATA_HOME=$prefix/share XDG_DATA_DIRS=/usr/share XDG_CONFIG_HOME=$home/config
unset XDG_CURRENT_DESKTOP
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/keldara
    share/keldara/keldara
    share/applications/$id.desktop
    share/metainfo/$id.metainfo.xml
    share/mime/packages/$id.xml
    share/icons/hicolor/scalable/apps/$id.svg
    share/keldara/keldara-search
    share/dbus-1/services/$id.SearchProvider.service
    share/gnome-shell/search-providers/$id.search-provider.ini
    share/krunner/dbusplugins/$id.desktop
)
for size in 16 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
grep -qx "Exec=$prefix/share/keldara/keldara-search" "$prefix/share/dbus-1/services/$id.SearchProvider.service" ||
    { echo "the search provider's service names the wrong program" >&2; exit 1; }
for f in "${expected[@]}"; do
    [[ -e "$prefix/$f" ]] || { echo "missing after install: $f" >&2; exit 1; }
done
for size in 16 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "$size x $size" ||
        { echo "icon of size $size is not $size pixels" >&2; exit 1; }
done

entry=$prefix/share/applications/$id.desktop
desktop-file-validate "$entry"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null
grep -qx "Exec=\"$prefix/bin/keldara\" %F" "$entry" || fail "the entry does not take files"

# The four kinds: type, comment as the "Type" column names the kind, extension, new-file action.
kinds=(
    "application/x-keldara-fuel-profile|Fuel Profile|fpl|FPL|New Fuel Profile"
    "application/x-keldara-planar-intercept|Planar Intercept Inventory|pli|PLI|New Planar Intercept"
    "application/x-keldara-photo-series|Photo Series Inventory|phs|PHS|New Photo Series Inventory"
    "application/x-keldara-crown-mass|Crown Mass Inventory|crn|CRN|New Crown Mass Inventory"
)
samples=$home/samples
mkdir -p "$samples"
types=""
actions=""
for kind in "${kinds[@]}"; do
    IFS='|' read -r type comment ext code caption <<<"$kind"
    types+="$type;"
    actions+="new-${ext};"
    [[ $(grep -c "<glob " "$prefix/share/mime/$type.xml") -eq 1 ]] ||
        fail "$type is not claimed by one extension"
    grep -q "<comment>$comment</comment>" "$prefix/share/mime/$type.xml" ||
        fail "$type is not described as \"$comment\""
    # A sample in each letter case; the desktop names it by our type.
    for name in "plot.$ext" "PLOT 2.${ext^^}" "Plot3.${ext^}"; do
        echo "sample" >"$samples/$name"
        got=$(gio info -a standard::content-type "$samples/$name" | sed -n 's/^ *standard::content-type: //p')
        [[ $got == "$type" ]] || fail "gio info calls $name \"$got\", not $type"
        got=$(xdg-mime query filetype "$samples/$name")
        [[ $got == "$type" ]] || fail "xdg-mime calls $name \"$got\", not $type"
    done
    handlers=$(gio mime "$type")
    grep -q "$id.desktop" <<<"$handlers" || fail "the entry is not offered for $type"
    # Its action: the "New" tab's caption, running the program with --new and the type code.
    action=$(sed -n "/^\[Desktop Action new-$ext\]/,/^\[/p" "$entry")
    grep -qx "Name=$caption" <<<"$action" || fail "no action \"$caption\""
    grep -qx "Exec=\"$prefix/bin/keldara\" --new $code" <<<"$action" ||
        fail "the action \"$caption\" does not begin a $code file"
done
grep -qx "MimeType=$types" "$entry" || fail "the entry does not list the four types"
grep -qx "Actions=$actions" "$entry" || fail "the entry does not list the four actions"

# The installed command starts the program, whose application folder is the installed one.
export XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=offscreen
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
got=$(gio info -a standard::content-type "$samples/plot.fpl" | sed -n 's/^ *standard::content-type: //p')
[[ $got != application/x-keldara-* ]] || fail "the type is still known after the uninstall"
echo "install check passed"
