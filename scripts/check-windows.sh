#!/usr/bin/env bash
# Compiles every source file for Windows (syntax and types only) with the MinGW-w64 cross
# compiler against the installed Qt headers, so that the Windows branches never rot unseen.
# Usage: scripts/check-windows.sh   (needs g++-mingw-w64-x86-64-posix; scripts/install-deps.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=x86_64-w64-mingw32-g++-posix
qt=/usr/include/x86_64-linux-gnu/qt6
spec=/usr/lib/x86_64-linux-gnu/qt6/mkspecs/win32-g++

# The version header the build generates, made the same way.
generated=$(mktemp -d)
trap 'rm -rf "$generated"' EXIT
mkdir -p "$generated/base"
version=$(sed -n 's/^project(Keldara VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
IFS=. read -r major minor patch <<<"$version"
sed -e "s/@PROJECT_VERSION_MAJOR@/$major/" -e "s/@PROJECT_VERSION_MINOR@/$minor/" \
    -e "s/@PROJECT_VERSION_PATCH@/$patch/" -e "s/@KELDARA_LEGAL_NOTICE@/notice/" \
    src/core/base/Version.h.in >"$generated/base/Version.h"

flags=(-fsyntax-only -std=c++20 -Wall -Wextra -Werror -DUNICODE -D_UNICODE -DWIN32
    -DQT_NO_CAST_FROM_ASCII -DQT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    -I src/core -I src/gui -I src -I "$generated" -isystem "$spec" -isystem "$qt")
for module in QtCore QtGui QtWidgets QtSvg QtNetwork QtConcurrent; do
    flags+=(-isystem "$qt/$module")
done

# Two at a time; every failing file is named, and any failure fails the check.
export cxx
check_one() {
    "$cxx" "${@:2}" "$1" || { echo "check-windows: $1 does not compile for Windows" >&2; return 1; }
}
export -f check_one
count=$(find src -name '*.cpp' | wc -l)
if find src -name '*.cpp' -print0 | sort -z |
    xargs -0 -P2 -I{} bash -c 'check_one "$@"' _ {} "${flags[@]}"; then
    echo "check-windows: $count source files compile for Windows"
else
    exit 1
fi
