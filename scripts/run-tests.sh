#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: scripts/run-tests.sh [dev|asan|release]
# KELDARA_WERROR=ON turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
scripts/install-deps.sh
cmake --preset "$preset" -DKELDARA_WERROR="${KELDARA_WERROR:-OFF}" >/dev/null
cmake --build --preset "$preset"
# An end-to-end test drives real programs and X servers and can meet a slow moment of a busy
# machine: a test fails the run when it fails twice in a row (both outputs are printed).
ctest --preset "$preset" --output-on-failure -j2 --repeat until-pass:2
scripts/check-windows.sh
