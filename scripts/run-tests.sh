#!/usr/bin/env bash
# Sets up, checks, builds and runs every test, and stops at the first failure: a test that fails
# once fails the run.
# Usage: scripts/run-tests.sh [--windows] [PRESET...]
#   PRESET is dev (the default), asan, tsan or release; several are built and tested in turn.
#   --windows, or CI=true in the environment, also compiles every source for Windows
#   (scripts/check-windows.sh, a few minutes).
# KELDARA_WERROR=ON turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."

windows=false
[[ ${CI:-} == true ]] && windows=true
presets=()
for arg in "$@"; do
    case "$arg" in
    --windows) windows=true ;;
    -*)
        echo "usage: scripts/run-tests.sh [--windows] [dev|asan|tsan|release]..." >&2
        exit 2
        ;;
    *) presets+=("$arg") ;;
    esac
done
((${#presets[@]})) || presets=(dev)

scripts/install-deps.sh
# These take a second: a wrong include or an unformatted file fails the run before any build.
scripts/check-layers
scripts/check-format.sh
for preset in "${presets[@]}"; do
    cmake --preset "$preset" -DKELDARA_WERROR="${KELDARA_WERROR:-OFF}" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" --output-on-failure -j2
done
if $windows; then
    scripts/check-windows.sh
fi
