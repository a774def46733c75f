#!/usr/bin/env bash
# Builds the Debian package from a build and lints it, checks what it holds, unpacks it into a
# temporary root and starts the unpacked program there for two users (as root: two user ids of
# their own; otherwise two homes of this user), each with their own home, data home and runtime
# folder: each gets an application folder of their own, readable by them alone, the lists land
# there, a New entry starts the companion tool of the shared folder (the stand-in tool) through
# the user's folder with the launch table's command line, a program of the user's own of that
# name is started instead of the shared one, a per-user install's lists are kept, and nothing is
# written under the unpacked /usr.
# Usage: check_package.sh <build-folder> <stand-in tool>
# Exits 77 (skipped) where dpkg's packaging tools are missing.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
standin=$2
id=org.keldara.Keldara
for tool in dpkg-deb dpkg-shlibdeps dpkg-gencontrol; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (dpkg-dev)"; exit 77; }
done
tmp=$(mktemp -d)
chmod 0755 "$tmp"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "$*" >&2; exit 1; }

package=$("$src/scripts/package-deb.sh" --build-dir "$build" --out "$tmp" | tail -n1)
[[ $(basename "$package") =~ ^keldara_[0-9.]+-[0-9]+_[a-z0-9]+\.deb$ ]] ||
    fail "the package is named $(basename "$package")"
if command -v lintian >/dev/null; then
    # Errors and warnings fail; those the README lists are overridden in the package, with reasons.
    lintian --fail-on error,warning --tag-display-limit 0 "$package" ||
        fail "lintian reports errors or warnings on the package"
else
    echo "lintian is not installed: the package is not linted"
fi

contents=$(dpkg-deb -c "$package" | awk '{ print $6 }')
for f in usr/bin/keldara usr/lib/keldara/keldara usr/lib/keldara/machine-wide \
    usr/lib/keldara/data/CRNexample.crn usr/share/applications/$id.desktop \
    usr/share/metainfo/$id.metainfo.xml usr/share/mime/packages/$id.xml \
    usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/icons/hicolor/48x48/apps/$id.png \
    usr/share/man/man1/keldara.1.gz usr/share/doc/keldara/copyright \
    usr/share/doc/keldara/changelog.Debian.gz usr/lib/keldara/keldara-search \
    usr/share/dbus-1/services/$id.SearchProvider.service \
    usr/share/gnome-shell/search-providers/$id.search-provider.ini \
    usr/share/krunner/dbusplugins/$id.desktop; do
    grep -qx "./$f" <<<"$contents" || fail "the package lacks /$f"
done
! grep -q '^\./usr/share/keldara' <<<"$contents" || fail "the package holds the per-user layout"
dpkg-deb -f "$package" Depends | grep -q 'libqt6widgets6' || fail "no dependency on Qt's widgets"

root=$tmp/root
dpkg-deb -x "$package" "$root"
shared=$root/usr/lib/keldara
entry=$root/usr/share/applications/$id.desktop
! command -v desktop-file-validate >/dev/null || desktop-file-validate "$entry"
grep -qx 'Exec=keldara %F' "$entry" || fail "the entry does not start the command on the path"
# An administrator's companion tools, in the letter case they come in: the stand-in, and a tool
# that records the path it was started by.
recorder() {
    # shellcheck disable=SC2016 # the tool's own script, expanded when it runs
    printf '#!/bin/sh\nprintf "%%s\\t%%s\\n" "$0" "$*" >>"$KELDARA_STANDIN_RECORD"\n' >"$1"
    chmod 0755 "$1"
}
install -m 0755 "$standin" "$shared/LTPC.EXE"
recorder "$shared/prv.exe"
snapshot() { (cd "$root" && find . -printf '%p %y %s %m %T@ %l\n' | LC_ALL=C sort); }
snapshot >"$tmp/before"

if [[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null; then
    uids=(64101 64102)
else
    uids=("" "")
    echo "not root: the two users are both $(id -un), each with a home of their own"
fi
as() { # as UID COMMAND...: runs the command as that user (or as this one when UID is empty)
    local uid=$1
    shift
    if [[ -n $uid ]]; then
        setpriv --reuid="$uid" --regid="$uid" --clear-groups "$@"
    else
        "$@"
    fi
}
start() { # start NAME UID ARGUMENTS...
    local name=$1 uid=$2 home=$tmp/$1
    shift 2
    mkdir -p "$home/run"
    chmod 0700 "$home/run"
    [[ -z $uid ]] || chown -R "$uid:$uid" "$home"
    # setpriv becomes the program, so that the pid kept is the program's and the end of the
    # test ends it.
    local run=("$root/usr/bin/keldara" "$@")
    [[ -z $uid ]] || run=(setpriv --reuid="$uid" --regid="$uid" --clear-groups "${run[@]}")
    HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run \
        XDG_STATE_HOME=$home/state QT_QPA_PLATFORM=offscreen KELDARA_STANDIN_RECORD=$home/record \
        DBUS_SESSION_BUS_ADDRESS=unix:path=$home/run/no-bus \
        "${run[@]}" >"$home/output" 2>&1 &
    pids+=($!)
}

# Ann starts the machine-wide program for the first time. Bob had a per-user install: his folder
# holds his web list and a program of his own named as a companion tool.
start ann "${uids[0]}" --new PLI --new FPL
bob=$tmp/bob/data/keldara
mkdir -p "$bob"
chmod 0755 "$bob"
printf '"Fire Lab","https://www.example.org/firelab/"\r\n' >"$bob/QELWebList.txt"
recorder "$bob/prv.exe"
start bob "${uids[1]}" --new FPL

for _ in $(seq 1 600); do
    [[ $(wc -l 2>/dev/null <"$tmp/ann/record") -ge 2 && -s $tmp/bob/record ]] && break
    sleep 0.1
done
for name in ann bob; do
    [[ -s $tmp/$name/record ]] ||
        { cat "$tmp/$name/output" >&2; fail "$name's New entry started no companion tool"; }
done

ann=$tmp/ann/data/keldara
[[ $(LC_ALL=C sort "$tmp/ann/record") == "$ann/prv.exe"$'\t#NEW#\nLTPC.EXE\tPLI' ]] ||
    fail "Ann's New entries started: $(cat "$tmp/ann/record")"
for tool in LTPC.EXE prv.exe; do
    [[ $(readlink "$ann/$tool") == "$shared/$tool" ]] || fail "Ann's folder has no link to $tool"
done
[[ $(cat "$tmp/bob/record") == "$bob/prv.exe"$'\t#NEW#' ]] ||
    fail "Bob's New entry started: $(cat "$tmp/bob/record")"
[[ ! -L $bob/prv.exe && -L $bob/LTPC.EXE ]] || fail "Bob's own program was replaced by a link"
[[ $(cat "$bob/QELWebList.txt") == $'"Fire Lab","https://www.example.org/firelab/"\r' ]] ||
    fail "Bob's web list changed"
for i in 0 1; do
    name=$([[ $i == 0 ]] && echo ann || echo bob)
    folder=$tmp/$name/data/keldara
    [[ $(stat -c %a "$folder") == 700 ]] || fail "$name's folder has mode $(stat -c %a "$folder")"
    [[ -z ${uids[$i]} || $(stat -c %u "$folder") == "${uids[$i]}" ]] || fail "$name's folder is not $name's"
    [[ -d $folder/ShortCuts && -f $folder/data/CRNexample.crn ]] ||
        fail "$name's folder lacks the shortcuts or the example"
    grep -qF "\"$folder/data/CRNexample.crn\"" "$folder/QELFileList.txt" ||
        fail "$name's recent-file list does not hold $name's example"
done
if [[ -n ${uids[0]} ]]; then
    ! as "${uids[0]}" cat "$bob/QELFileList.txt" >/dev/null 2>&1 || fail "Ann can read Bob's list"
fi

snapshot >"$tmp/after"
diff "$tmp/before" "$tmp/after" >&2 || fail "something was written under the unpacked /usr"
echo "package check passed: $(basename "$package")"
